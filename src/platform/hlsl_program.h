// One HLSL program of a quavel_hlsl_shaders library as the build compiled it: where its
// source is and the block linked in. quavel_hlsl_shaders(TARGET lib ...) defines
// `extern const shaderpack::HlslProgramList lib_programs;` in the library lib_programs.
#pragma once

#include <cstddef>

namespace shaderpack {

struct HlslProgram {
    const char* name;               // file stem: ps_copy
    const char* path;               // absolute source path at build time
    const char* stage;              // vs, ps or cs
    const char* entry;              // vertex_main, pixel_main, kernel_main
    const char* const* includeDirs; // ends with nullptr
    const unsigned char* block;
    const unsigned int* blockSize;
};

struct HlslProgramList {
    const HlslProgram* programs;
    size_t count;
    const HlslProgram* begin() const { return programs; }
    const HlslProgram* end() const { return programs + count; }
};

} // namespace shaderpack
