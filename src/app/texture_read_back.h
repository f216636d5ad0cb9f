// Reading pictures back through the Direct3D interface: a CPU-readable staging copy, mapped,
// its rows packed tightly, top row first. The show's read-back, the capture tool
// (back_buffer_reader.h) and the GPU tests all read textures this way. Usage:
//
//   TexturePixels p = readTexture2D(device, context, texture);   // level 0
//   float red = p.at<float>(x, y, 0);
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3d11.h"

// Mip level `level` of a 2D texture, rows tightly packed, row 0 (the top) first.
struct TexturePixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bytesPerTexel = 0;
    std::vector<std::uint8_t> bytes;

    const std::uint8_t* texel(std::uint32_t x, std::uint32_t y) const {
        return bytes.data() + (std::size_t(y) * width + x) * bytesPerTexel;
    }
    template <class T> T at(std::uint32_t x, std::uint32_t y, std::uint32_t component = 0) const {
        T value;
        std::memcpy(&value, texel(x, y) + component * sizeof(T), sizeof(T));
        return value;
    }
};

// The bytes of one texel of the formats the show and its tests use.
std::uint32_t bytesPerTexel(DXGI_FORMAT format);

// Empty (no bytes) when the texture is null or cannot be copied and mapped.
TexturePixels readTexture2D(ID3D11Device* device, ID3D11DeviceContext* context,
                            ID3D11Texture2D* texture, UINT level = 0);

// Copies `rows` rows of `rowBytes` bytes of each of `slices` slices out of a mapped resource.
void packMappedRows(const D3D11_MAPPED_SUBRESOURCE& mapped, std::size_t rowBytes, UINT rows,
                    UINT slices, std::uint8_t* out);
