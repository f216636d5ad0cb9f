// The Linux shader compiler: HLSL (shader model 5.0) to the Direct3D layer's shader block,
// in-process, through glslang (HLSL -> SPIR-V) and SPIRV-Cross (SPIR-V -> GLSL 4.50 and the
// register table). The build's shaderpack step and a running show use this same code, so a
// program compiled live gives the very block the build linked in.
//
//     shaderpack::HlslSource source{"ps_copy", "/src/demo/shaders/ps_copy.hlsl",
//                                   quavel::d3d11::ShaderStage::Pixel, "pixel_main",
//                                   {"/src/demo/shaders"}};
//     shaderpack::CompileResult result = shaderpack::compileHlsl(source);
//     if (!result.ok()) puts(result.error->text().c_str()); // "ps_copy: FILE:LINE: message"
//     else use(result.block);                              // encodeShaderBlock's bytes
//
// Every call makes its own compiler objects; glslang's process-wide set-up is made once, on
// the first call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/d3d11/shader_block.h"

namespace shaderpack {

struct HlslSource {
    std::string program; // the program's name in messages (its file stem)
    std::string path;    // the main file; included files are looked up beside it first
    quavel::d3d11::ShaderStage stage;
    std::string entry;                    // vertex_main, pixel_main, kernel_main
    std::vector<std::string> includeDirs; // searched after the including file's folder
    // The main file's text when the caller has it already; otherwise it is read from path.
    std::optional<std::string> text;
};

// Where a compilation failed. line is 0 when the compiler named no line.
struct CompileError {
    std::string program;
    std::string file;
    unsigned line = 0;
    std::string message;
    std::string text() const; // "program: file:line: message"
};

struct CompileResult {
    std::vector<uint8_t> block;        // the encoded shader block, empty on failure
    std::vector<std::string> included; // every file read: the main file, then its includes
    std::optional<CompileError> error;
    bool ok() const { return !error; }
};

CompileResult compileHlsl(const HlslSource& source);

// The lower-level steps, for tools and tests.
struct SpirvResult {
    std::vector<uint32_t> words;
    std::vector<std::string> included;
    std::optional<CompileError> error;
};
SpirvResult hlslToSpirv(const HlslSource& source);

// GLSL 4.50 text and the block for SPIR-V from hlslToSpirv; false with a reason otherwise.
bool spirvToBlock(quavel::d3d11::ShaderStage stage, const std::vector<uint32_t>& spirv,
                  quavel::d3d11::ShaderBlock& block, std::string& error);

} // namespace shaderpack
