// A Direct3D device for engine tests: created once, handed to the frame context (which binds
// the six samplers), plus read-back of buffers and textures through staging copies.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/texture_read_back.h"
#include "platform/d3d11.h"

// Creates the device and initialises the frame context on first use; false when no device
// can be made.
bool engineDeviceReady();

// The bytes of a buffer.
std::vector<uint8_t> readBuffer(ID3D11Resource* buffer);

template <typename T> std::vector<T> readBufferAs(ID3D11Resource* buffer) {
    const std::vector<uint8_t> bytes = readBuffer(buffer);
    std::vector<T> values(bytes.size() / sizeof(T));
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
    return values;
}

// Writes the whole of a buffer.
void writeBuffer(ID3D11Resource* buffer, const void* data);

// Mip level `level` of a 2D texture, read through the frame context's device.
TexturePixels readTexture2D(ID3D11Resource* texture, uint32_t level = 0);

float halfToFloat(uint16_t half);

// Texel (x, y) of an R16G16B16A16_FLOAT or R32G32B32A32_FLOAT texture as four floats.
void texelRgba(const TexturePixels& pixels, uint32_t x, uint32_t y, float rgba[4]);
