#include "platform/linux/d3d11/wide_trig.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quavel::d3d11 {

WideTrig wideTrigFromEnvironment() {
    static const WideTrig chosen = [] {
        const char* value = std::getenv("QUAVEL_D3D11_WIDE_TRIG");
        if (value == nullptr || *value == '\0')
            return WideTrig::Native;
        if (std::strcmp(value, "turns") == 0)
            return WideTrig::Turns;
        if (std::strcmp(value, "exact") == 0)
            return WideTrig::Exact;
        std::fprintf(stderr, "d3d11: QUAVEL_D3D11_WIDE_TRIG='%s' ignored (turns or exact)\n",
                     value);
        return WideTrig::Native;
    }();
    return chosen;
}

std::string withWideTrig(const std::string& glsl, WideTrig how) {
    if (how == WideTrig::Native)
        return glsl;
    // 314.15927 is 100π rounded up to single precision: within it nothing changes.
    std::string functions =
        std::string("float quavelWideArgument(float x) {\n"
                    "    return abs(x) <= 314.15927 ? x : ") +
        (how == WideTrig::Turns ? "6.2831855 * fract(x * 0.15915494)"
                                : "float(mod(double(x), 6.283185307179586LF))") +
        ";\n}\n";
    const char* vectors[] = {"vec2", "vec3", "vec4"};
    const char* parts[] = {"x.x", "x.y", "x.z", "x.w"};
    for (int n = 0; n < 3; ++n) {
        functions += std::string(vectors[n]) + " quavelWideArgument(" + vectors[n] + " x) {\n" +
                     "    return " + vectors[n] + "(";
        for (int i = 0; i < n + 2; ++i)
            functions += std::string(i ? ", " : "") + "quavelWideArgument(" + parts[i] + ")";
        functions += ");\n}\n";
    }
    for (const char* f : {"sin", "cos"})
        for (const char* type : {"float", "vec2", "vec3", "vec4"})
            functions += std::string(type) + " quavelWide_" + f + "(" + type +
                         " x) {\n    return " + f + "(quavelWideArgument(x));\n}\n";
    functions += "#define sin quavelWide_sin\n#define cos quavelWide_cos\n";

    // After the #version line and every #extension line: nothing but directives may come
    // before an extension is enabled.
    size_t insertAt = 0;
    for (size_t line = 0; line < glsl.size();) {
        const size_t end = glsl.find('\n', line);
        const size_t next = end == std::string::npos ? glsl.size() : end + 1;
        if (glsl.compare(line, 8, "#version") == 0 || glsl.compare(line, 10, "#extension") == 0)
            insertAt = next;
        line = next;
    }
    std::string result = glsl.substr(0, insertAt);
    if (!result.empty() && result.back() != '\n')
        result += '\n';
    return result + functions + glsl.substr(insertAt);
}

} // namespace quavel::d3d11
