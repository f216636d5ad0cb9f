// The calls the web Direct3D layer makes into its JavaScript half (web/gpu/gpu_imports.js,
// over web/gpu/gpu_device.js), by handle: every WebGPU object lives on the JavaScript side
// and is named here by a nonzero number; 0 is "none" or a creation that failed.
//
// Descriptions that Direct3D already lays out (D3D11_SAMPLER_DESC, D3D11_BLEND_DESC,
// D3D11_RASTERIZER_DESC) are passed as they are; a draw or dispatch passes one command record
// (gpu_command.h). The two reads suspend the module until the GPU has answered (the page calls
// the exports that may reach them through WebAssembly.promising).
#pragma once

#include <cstdint>

#include "platform/d3d11.h"
#include "platform/web/d3d11/gpu_command.h"

#define QUAVEL_GPU_IMPORT(name) __attribute__((import_module("quavel_gpu"), import_name(#name)))

extern "C" {
QUAVEL_GPU_IMPORT(texture_create)
uint32_t quavelGpuTextureCreate(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                                uint32_t bindFlags);
QUAVEL_GPU_IMPORT(buffer_create)
uint32_t quavelGpuBufferCreate(uint32_t byteWidth, uint32_t bindFlags);
QUAVEL_GPU_IMPORT(object_release) void quavelGpuRelease(uint32_t handle);
QUAVEL_GPU_IMPORT(buffer_write)
void quavelGpuBufferWrite(uint32_t buffer, uint32_t offset, const void* data, uint32_t size);
QUAVEL_GPU_IMPORT(texture_write)
void quavelGpuTextureWrite(uint32_t texture, uint32_t level, uint32_t x, uint32_t y, uint32_t width,
                           uint32_t height, const void* data, uint32_t rowPitch);
QUAVEL_GPU_IMPORT(program_create) uint32_t quavelGpuProgramCreate(const void* block, uint32_t size);
QUAVEL_GPU_IMPORT(sampler_create) uint32_t quavelGpuSamplerCreate(const D3D11_SAMPLER_DESC* desc);
QUAVEL_GPU_IMPORT(blend_state_create)
uint32_t quavelGpuBlendStateCreate(const D3D11_BLEND_DESC* desc);
QUAVEL_GPU_IMPORT(rasterizer_state_create)
uint32_t quavelGpuRasterizerStateCreate(const D3D11_RASTERIZER_DESC* desc);
QUAVEL_GPU_IMPORT(draw) void quavelGpuDraw(const quavel::web::DrawCommand* command);
QUAVEL_GPU_IMPORT(dispatch) void quavelGpuDispatch(const quavel::web::DispatchCommand* command);
QUAVEL_GPU_IMPORT(clear_target)
void quavelGpuClearTarget(uint32_t texture, uint32_t level, const float* rgba);
QUAVEL_GPU_IMPORT(clear_depth) void quavelGpuClearDepth(uint32_t texture, float depth);
QUAVEL_GPU_IMPORT(copy_texture)
void quavelGpuCopyTexture(uint32_t destination, uint32_t destinationLevel, uint32_t x, uint32_t y,
                          uint32_t source, uint32_t sourceLevel, uint32_t left, uint32_t top,
                          uint32_t width, uint32_t height);
QUAVEL_GPU_IMPORT(copy_buffer)
void quavelGpuCopyBuffer(uint32_t destination, uint32_t destinationOffset, uint32_t source,
                         uint32_t sourceOffset, uint32_t size);
QUAVEL_GPU_IMPORT(generate_mips) void quavelGpuGenerateMips(uint32_t texture);
QUAVEL_GPU_IMPORT(read_texture)
void quavelGpuReadTexture(uint32_t texture, uint32_t level, void* out, uint32_t rowPitch);
QUAVEL_GPU_IMPORT(read_buffer) void quavelGpuReadBuffer(uint32_t buffer, void* out, uint32_t size);
}
