// Turns SPIRV-Cross output (GLSL 4.50 text and the module's reflection) into a compiled-shader
// block: binding numbers leave the text, and the table records which Direct3D register
// each uniform, block and image stands for.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/d3d11/shader_block.h"

namespace shaderpack {

// Where the HLSL front end places each HLSL register class in SPIR-V bindings: t from 0,
// s, b and u above (structured buffers of the u class land at u's base too).
constexpr unsigned samplerBindingBase = 200;
constexpr unsigned constantBufferBindingBase = 300;
constexpr unsigned uavBindingBase = 400;
constexpr unsigned ssboBindingBase = 500;
constexpr unsigned bindingClassSpan = 100;

// The SPIR-V module's own resources, before samplers are combined with textures.
struct Reflection {
    struct Resource {
        std::string name;
        unsigned binding;
    };
    std::vector<Resource> separateImages;
    std::vector<Resource> separateSamplers;
    size_t combinedImageSamplers = 0; // HLSL never declares these; the block cannot either
};

// False with a one-line reason when the text holds a resource the block cannot describe.
bool buildShaderBlock(quavel::d3d11::ShaderStage stage, const std::string& glsl,
                      const Reflection& reflection, quavel::d3d11::ShaderBlock& block,
                      std::string& error);

} // namespace shaderpack
