// The Linux side of platform/hlsl_compiler.h: compileHlsl goes from HLSL to the Direct3D
// layer's shader block in-process, through glslang (HLSL -> SPIR-V) and SPIRV-Cross (SPIR-V ->
// GLSL 4.50 and the register table). The build's shaderpack step and a running show use this
// same code, so a program compiled live gives the very block the build linked in. Every call
// makes its own compiler objects; glslang's process-wide set-up is made once, on the first
// call. The two steps below are there for tools and tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/hlsl_compiler.h"
#include "platform/linux/d3d11/shader_block.h"

namespace shaderpack {

struct SpirvResult {
    std::vector<uint32_t> words;
    std::vector<std::string> included;
    std::optional<CompileError> error;
};
// invertY negates the vertex position's y on output: the web build's WGSL translator negates
// it once more when it reads the module, so clip y = +1 stays the top row. reduceWideTrig puts
// wideTrigPrelude (wide_trig_prelude.h) before the program, as the web build does.
SpirvResult hlslToSpirv(const HlslSource& source, bool invertY = false,
                        bool reduceWideTrig = false);

// GLSL 4.50 text and the block for SPIR-V from hlslToSpirv; false with a reason otherwise.
bool spirvToBlock(quavel::d3d11::ShaderStage stage, const std::vector<uint32_t>& spirv,
                  quavel::d3d11::ShaderBlock& block, std::string& error);

} // namespace shaderpack
