// The compiled-shader block of the Linux build: GLSL text plus the table that ties each of
// its resources to a Direct3D register. Written at build time by tools/shaderpack and read
// by CreateVertexShader, CreatePixelShader and CreateComputeShader.
//
// Layout, little-endian:
//   u32 magic 'QSHD', u32 version, u32 stage, u32 binding count, u32 GLSL length,
//   binding records, GLSL text (no terminator; the block ends with it).
// Binding record: u8 kind, u8 0, u16 name length, u32 register, u32 sampler register
//   (noSampler when none), u16 format length, u16 0, name bytes, format bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/shader_stage.h"

namespace quavel::d3d11 {

constexpr uint32_t shaderBlockMagic = 0x44485351u; // "QSHD"
constexpr uint32_t shaderBlockVersion = 1;
constexpr uint32_t noSampler = 0xffffffffu;

enum class BindingKind : uint8_t {
    SampledTexture = 1,     // combined sampler uniform: texture t register + sampler s register
    ConstantBuffer = 2,     // uniform block: b register
    StructuredBuffer = 3,   // read-only storage block: t register
    RWStructuredBuffer = 4, // storage block: u register
    RWTexture = 5,          // storage image: u register; format holds its GLSL image format
};

// Register counts of shader model 5.0.
constexpr uint32_t textureRegisterCount = 128;
constexpr uint32_t samplerRegisterCount = 16;
constexpr uint32_t constantBufferRegisterCount = 14;
constexpr uint32_t uavRegisterCount = 8;

struct ShaderBinding {
    BindingKind kind;
    std::string name; // GLSL uniform or block name
    uint32_t registerIndex;
    uint32_t samplerRegister = noSampler;
    std::string format; // RWTexture only
};

struct ShaderBlock {
    ShaderStage stage;
    std::vector<ShaderBinding> bindings;
    std::string glsl;
};

// The macro a RWTexture's format qualifier is written as in the GLSL text, so that the
// device can compile the shader for the format of the view actually bound.
std::string imageFormatMacro(size_t bindingIndex);

std::vector<uint8_t> encodeShaderBlock(const ShaderBlock& block);

// False for anything that is not a well-formed block of this version: wrong magic or
// version, unknown stage or binding kind, out-of-range registers, truncated or trailing bytes.
bool decodeShaderBlock(const void* data, size_t size, ShaderBlock& block);

} // namespace quavel::d3d11
