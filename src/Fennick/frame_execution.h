// Executing single passes, as GraphRuntime::executeFrame does for every pass whose run
// condition holds. `block` is the ContextBuffer upload block of `blockSize` bytes.
#pragma once

#include <cstdint>

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"

namespace Fennick::gfx {

// Re-creates the frame context's constant buffer when its recorded size differs from
// blockSize, then writes the whole block into it.
void uploadContextBuffer(const uint8_t* block, uint32_t blockSize);

// Passes without their shaders, and draw passes without a first render target, are skipped
// without touching the device or the constant buffer.
void executeDrawPass(DrawPassRuntime& pass, const uint8_t* block, uint32_t blockSize);
void executeComputePass(ComputePassRuntime& pass, const uint8_t* block, uint32_t blockSize);

// The size of the engine's presentation texture, whatever the window's size.
constexpr uint32_t kPresentationWidth = 1600;
constexpr uint32_t kPresentationHeight = 900;

} // namespace Fennick::gfx
