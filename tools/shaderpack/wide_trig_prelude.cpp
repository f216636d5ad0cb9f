#include "wide_trig_prelude.h"

namespace shaderpack {

const std::string& wideTrigPrelude() {
    static const std::string text = [] {
        // 314.15927 is 100π rounded up to single precision.
        std::string t = "float quavelWideArgument(float x) {\n"
                        "    return abs(x) <= 314.15927 ? x : 6.2831855 * frac(x * 0.15915494);\n"
                        "}\n";
        const char* parts[] = {"x.x", "x.y", "x.z", "x.w"};
        for (int n = 2; n <= 4; ++n) {
            const std::string type = "float" + std::to_string(n);
            t += type + " quavelWideArgument(" + type + " x) {\n    return " + type + "(";
            for (int i = 0; i < n; ++i)
                t += std::string(i ? ", " : "") + "quavelWideArgument(" + parts[i] + ")";
            t += ");\n}\n";
        }
        // sin and cos to float precision: the argument reduced by multiples of π/4 in three
        // parts, then the usual minimax polynomials on [-π/4, π/4].
        t += "float quavelSinOrCos(float x, int quarter) {\n"
             "    float sign = x < 0.0 ? -1.0 : 1.0;\n"
             "    float a = abs(x);\n"
             "    int j = int(a * 1.27323954);\n"
             "    float y = float(j);\n"
             "    if ((j & 1) != 0) { j += 1; y += 1.0; }\n"
             "    float z = ((a - y * 0.78515625) - y * 2.4187564849853515625e-4) - y * "
             "3.77489497744594108e-8;\n"
             "    if (quarter == 1) { sign = 1.0; j += 2; }\n"
             "    j &= 7;\n"
             "    if (j > 3) { sign = -sign; j -= 4; }\n"
             "    float zz = z * z;\n"
             "    float r = (j == 1 || j == 2)\n"
             "        ? ((2.443315711809948e-5 * zz - 1.388731625493765e-3) * zz + "
             "4.166664568298827e-2) * zz * zz - 0.5 * zz + 1.0\n"
             "        : ((-1.9515295891e-4 * zz + 8.3321608736e-3) * zz - 1.6666654611e-1) * zz * "
             "z + z;\n"
             "    return sign * r;\n"
             "}\n";
        const char* fields[] = {"x", "y", "z", "w"};
        for (int q = 0; q < 2; ++q) {
            const char* f = q == 0 ? "sin" : "cos";
            t += std::string("float quavelWide_") + f +
                 "(float x) {\n    return quavelSinOrCos(quavelWideArgument(x), " +
                 std::to_string(q) + ");\n}\n";
            for (int n = 2; n <= 4; ++n) {
                const std::string type = "float" + std::to_string(n);
                t += type + " quavelWide_" + f + "(" + type + " x) {\n    return " + type + "(";
                for (int i = 0; i < n; ++i)
                    t += std::string(i ? ", " : "") + "quavelWide_" + f + "(x." + fields[i] + ")";
                t += ");\n}\n";
            }
        }
        return t + "#define sin quavelWide_sin\n#define cos quavelWide_cos\n";
    }();
    return text;
}

} // namespace shaderpack
