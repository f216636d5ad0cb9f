#include "platform/linux/d3d11/fill_rule.h"

#include <epoxy/gl.h>

#include <cstdio>
#include <regex>

namespace quavel::d3d11 {

float rasterStep() {
    GLint bits = 0;
    glGetIntegerv(GL_SUBPIXEL_BITS, &bits);
    // Four bits is the least a conforming rasterizer has; more than 16 would make the step
    // smaller than the snapping of any real rasterizer.
    bits = bits < 4 ? 4 : (bits > 16 ? 16 : bits);
    return 1.0f / static_cast<float>(1 << bits);
}

std::string readInputsBeforeTheShift(const std::string& glsl, float step) {
    // An input as the shader translator declares it, e.g.
    // "layout(location = 1) noperspective in vec2 i_uv;" or "... in vec4 i_weights[2];".
    static const std::regex input(
        R"(^(layout\([^)]*\) )?((?:\w+ )*)in (float|vec[234]) (\w+)(?:\[(\d+)\])?;$)");
    static const std::regex mainOpening(R"(void main\(\)\s*\{)");
    char offset[64];
    std::snprintf(offset, sizeof offset, "vec2(0.0, %.9g)", -static_cast<double>(step));

    std::string rewritten, assignments;
    size_t lineStart = 0;
    while (lineStart < glsl.size()) {
        size_t lineEnd = glsl.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = glsl.size();
        }
        const std::string line = glsl.substr(lineStart, lineEnd - lineStart);
        std::smatch m;
        if (std::regex_match(line, m, input) && m[2].str().find("flat") == std::string::npos) {
            const std::string type = m[3], name = m[4], count = m[5];
            const std::string renamed = name + "_rasterized";
            const std::string extent = count.empty() ? "" : "[" + count + "]";
            // The input keeps its location and qualifiers under another name; a global of
            // the old name holds the value at the centre, so the body is unchanged.
            rewritten += m[1].str() + m[2].str() + "in " + type + " " + renamed + extent + ";\n" +
                         type + " " + name + extent + ";\n";
            const int elements = count.empty() ? 0 : std::stoi(count);
            for (int i = 0; i < (elements == 0 ? 1 : elements); ++i) {
                const std::string index = elements == 0 ? "" : "[" + std::to_string(i) + "]";
                assignments += "    " + name + index + " = interpolateAtOffset(" + renamed + index +
                               ", " + offset + ");\n";
            }
        } else {
            rewritten += line + (lineEnd < glsl.size() ? "\n" : "");
        }
        lineStart = lineEnd + 1;
    }
    std::smatch opening;
    if (assignments.empty() || !std::regex_search(rewritten, opening, mainOpening)) {
        return glsl;
    }
    const size_t bodyStart = static_cast<size_t>(opening.position(0) + opening.length(0));
    return rewritten.substr(0, bodyStart) + "\n" + assignments + rewritten.substr(bodyStart);
}

} // namespace quavel::d3d11
