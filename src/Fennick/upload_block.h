// The block uploaded to ContextBuffer before every pass: the built-in values, then the packed
// parameters, then a zero tail up to a whole number of 16-byte registers.
#pragma once

#include <cstdint>
#include <vector>

#include "Fennick/param_block.h"

namespace Fennick::gfx {

constexpr uint32_t kConstantRegisterBytes = 16;

// builtInBytes + paramBytes rounded up to a multiple of 16.
inline uint32_t uploadBlockSize(uint32_t builtInBytes, uint32_t paramBytes) {
    const uint32_t used = builtInBytes + paramBytes;
    return (used + kConstantRegisterBytes - 1) / kConstantRegisterBytes * kConstantRegisterBytes;
}

std::vector<uint8_t> buildUploadBlock(const void* builtIns, uint32_t builtInBytes,
                                      const ParamBlock& packedParams);

} // namespace Fennick::gfx
