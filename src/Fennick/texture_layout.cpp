#include "Fennick/texture_layout.h"

#include <algorithm>
#include <cmath>

namespace Fennick::gfx {

bool isDepthFormat(TextureFormat format) {
    return format == FormatD24UnormS8Uint || format == FormatD32Float;
}

uint32_t texelBytes(TextureFormat format) {
    switch (format) {
    case FormatR32Float:
    case FormatR8G8B8A8Unorm:
    case FormatB8G8R8A8Unorm:
    case FormatR32Uint:
        return 4;
    case FormatR16G16B16A16Float:
        return 8;
    case FormatR32G32B32A32Float:
        return 16;
    default:
        return 0;
    }
}

uint32_t largestExtent(const TextureDesc& desc) {
    uint32_t largest = desc.width;
    if (desc.dimension == Tex2D || desc.dimension == Tex3D)
        largest = std::max(largest, desc.height);
    if (desc.dimension == Tex3D)
        largest = std::max(largest, desc.depth);
    // A zero-sized description is created one texel large, so its chain has one level;
    // log2(0) would otherwise give a meaningless count.
    return deviceExtent(largest);
}

uint32_t mipLevelCount(const TextureDesc& desc) {
    if (desc.mipmaps != 1 || isDepthFormat(desc.format))
        return 1;
    return uint32_t(std::floor(std::log2(double(largestExtent(desc))))) + 1;
}

} // namespace Fennick::gfx
