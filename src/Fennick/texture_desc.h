// The description of an engine texture: a plain record, copied into the texture by init.
#pragma once

#include <cstdint>

namespace Fennick::gfx {

enum TextureDimension : int32_t { Tex1D = 0, Tex2D = 1, Tex3D = 2 };

// Index into the engine's format table (texture_formats.h gives the device formats).
enum TextureFormat : uint32_t {
    FormatR32Float = 0,
    FormatR8G8B8A8Unorm = 1,
    FormatB8G8R8A8Unorm = 2,
    FormatR16G16B16A16Float = 3,
    FormatR32G32B32A32Float = 4,
    FormatD24UnormS8Uint = 5,
    FormatD32Float = 6,
    FormatR32Uint = 7,
};
constexpr uint32_t kTextureFormatCount = 8;

struct TextureDesc {
    TextureDimension dimension = Tex2D;
    uint32_t width = 2;
    uint32_t height = 2;
    uint32_t depth = 0;    // slices of a 3D texture
    uint8_t fixedSize = 0; // for the graph builder: 0 means sized from the window times scale
    float scale = 1.0f;    // for the graph builder only
    uint8_t mipmaps = 0;   // full mip chain, rebuilt after every write
    TextureFormat format = FormatR16G16B16A16Float;
    uint32_t reserved0 = 1;
    uint32_t reserved1 = 1;
};

} // namespace Fennick::gfx
