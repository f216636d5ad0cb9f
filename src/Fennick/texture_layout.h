// Sizes and mip levels of a texture as given to the device, derived from its description.
#pragma once

#include "Fennick/texture_desc.h"

#include <cmath>
#include <cstdint>

namespace Fennick::gfx {

// Depth formats get a depth-stencil view only and never a mip chain.
bool isDepthFormat(TextureFormat format);

// A zero extent in a description becomes 1 on the device.
inline uint32_t deviceExtent(uint32_t size) {
    return size == 0 ? 1u : size;
}

// A declared extent drawn at a fraction of its size: rounded to the nearest whole pixel (halves
// up) and at least 1. A scale of 1 gives the size itself.
inline uint32_t scaledExtent(uint32_t size, float scale) {
    const double scaled = std::floor(double(size) * double(scale) + 0.5);
    return scaled < 1.0 ? 1u : uint32_t(scaled);
}

// The largest extent that the texture's dimension uses (at least 1).
uint32_t largestExtent(const TextureDesc& desc);

// Bytes of one texel of a colour format; 0 for the depth formats.
uint32_t texelBytes(TextureFormat format);

// floor(log2(largest extent)) + 1 for a colour texture with mipmaps, else 1.
uint32_t mipLevelCount(const TextureDesc& desc);

} // namespace Fennick::gfx
