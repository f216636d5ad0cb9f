// The compiled-shader block of the web build: a WGSL program and the table that says which
// Direct3D register each of its resources stands for. Written at build time (shaderpack's
// SPIR-V step, naga's WGSL, then shaderpack's block step) and read by the web Direct3D layer's
// CreateVertexShader, CreatePixelShader and CreateComputeShader.
//
// Each stage has its own registers in Direct3D (t0 of the vertex stage is not t0 of the pixel
// stage), so each stage has its own bind group: vertex and compute programs use group 0,
// pixel programs group 1. Inside a group a register's binding is its class's base plus its
// index: t from 0, s from 200, b from 300, u from 400.
//
// Layout, little-endian:
//   u32 magic 'QWGS', u32 version, u32 stage, u32 binding count, u32 WGSL length,
//   binding records (u8 kind, u8 group, u16 binding, u32 register), WGSL text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/shader_stage.h"

namespace quavel::web {

using quavel::d3d11::ShaderStage;

constexpr uint32_t wgslBlockMagic = 0x53475751u; // "QWGS"
constexpr uint32_t wgslBlockVersion = 1;

enum class WgslBindingKind : uint8_t {
    Texture = 1,            // texture_2d: t register
    Sampler = 2,            // sampler: s register
    ConstantBuffer = 3,     // var<uniform>: b register
    StructuredBuffer = 4,   // var<storage, read>: t register
    RWStructuredBuffer = 5, // var<storage, read_write>: u register
};

// Where the register classes start inside a stage's bind group.
enum class RegisterClass : uint8_t { Texture, Sampler, ConstantBuffer, Uav };
struct RegisterRange {
    RegisterClass kind;
    uint32_t base;
    uint32_t count; // shader model 5.0's registers of the class
};
inline constexpr RegisterRange registerRanges[] = {{RegisterClass::Texture, 0, 128},
                                                   {RegisterClass::Sampler, 200, 16},
                                                   {RegisterClass::ConstantBuffer, 300, 14},
                                                   {RegisterClass::Uav, 400, 8}};

RegisterClass registerClassOf(WgslBindingKind kind);
uint32_t bindingOf(RegisterClass kind, uint32_t registerIndex);
uint32_t groupOf(ShaderStage stage);
// The class and register a binding number stands for, if any.
struct Register {
    RegisterClass kind;
    uint32_t index;
};
std::optional<Register> registerOfBinding(uint32_t binding);

struct WgslBinding {
    WgslBindingKind kind;
    uint32_t group;
    uint32_t binding;
    uint32_t registerIndex;
    bool operator==(const WgslBinding& other) const {
        return kind == other.kind && group == other.group && binding == other.binding &&
               registerIndex == other.registerIndex;
    }
};

struct WgslBlock {
    ShaderStage stage;
    std::vector<WgslBinding> bindings;
    std::string wgsl;
};

std::vector<uint8_t> encodeWgslBlock(const WgslBlock& block);

// False for anything that is not a well-formed block of this version: wrong magic or
// version, unknown stage or kind, a record whose group, binding and register disagree,
// truncated or trailing bytes.
bool decodeWgslBlock(const void* data, size_t size, WgslBlock& block);

} // namespace quavel::web
