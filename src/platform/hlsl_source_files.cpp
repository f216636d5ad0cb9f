// Reading the sources, the same for both compilers of platform/hlsl_compiler.h.
#include <fstream>
#include <iterator>

#include "platform/hlsl_compiler.h"

namespace shaderpack {

bool readHlslFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::optional<CompileError> readMainText(const HlslSource& source, std::string& text) {
    if (source.text)
        text = *source.text;
    else if (!readHlslFile(source.path, text))
        return CompileError{source.program, source.path, 0, "cannot read the file"};
    return std::nullopt;
}

} // namespace shaderpack
