// Turns spirv-cross output (GLSL 4.50 text and its JSON reflection) into a compiled-shader
// block: binding numbers leave the text, and the table records which Direct3D register
// each uniform, block and image stands for.
#pragma once

#include <string>

#include "platform/linux/d3d11/shader_block.h"

namespace shaderpack {

// Where the build's glslangValidator places each HLSL register class in SPIR-V bindings
// (--shift-*-binding in cmake/HlslShaders.cmake): t from 0, s, b and u above.
constexpr unsigned samplerBindingBase = 200;
constexpr unsigned constantBufferBindingBase = 300;
constexpr unsigned uavBindingBase = 400;
constexpr unsigned bindingClassSpan = 100;

// False with a one-line reason when the text holds a resource the block cannot describe.
bool buildShaderBlock(quavel::d3d11::ShaderStage stage, const std::string& glsl,
                      const std::string& reflectionJson, quavel::d3d11::ShaderBlock& block,
                      std::string& error);

} // namespace shaderpack
