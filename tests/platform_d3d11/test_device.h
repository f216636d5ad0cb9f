// A Direct3D device for GPU tests, made without a window of the show (D3D11CreateDevice on a
// hidden window), and read-back of textures and buffers through staging copies and Map.
// Link quavel_d3d11_test_device; include "test_device.h".
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3d11.h"

namespace d3d11_test {

struct TestDevice {
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    explicit operator bool() const { return device != nullptr; }
};

// The process's test device, created on first use (hardware driver, levels 11_0 then 10_0)
// and kept until the process ends; empty when none can be made.
TestDevice& testDevice();

// Mip level `level` of a 2D texture, rows tightly packed, row 0 (the top) first.
struct Pixels {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bytesPerTexel = 0;
    std::vector<uint8_t> bytes;

    const uint8_t* texel(uint32_t x, uint32_t y) const {
        return bytes.data() + (size_t(y) * width + x) * bytesPerTexel;
    }
    template <class T> T at(uint32_t x, uint32_t y, uint32_t component = 0) const {
        T value;
        std::memcpy(&value, texel(x, y) + component * sizeof(T), sizeof(T));
        return value;
    }
};

Pixels readTexture2D(ID3D11Texture2D* texture, UINT level = 0);
// Every slice of mip level `level` of a 3D texture (or the row of a 1D one), packed.
std::vector<uint8_t> readTexture3D(ID3D11Texture3D* texture, UINT level = 0);
std::vector<uint8_t> readTexture1D(ID3D11Texture1D* texture, UINT level = 0);
std::vector<uint8_t> readBuffer(ID3D11Buffer* buffer);

template <class T> std::vector<T> readBufferAs(ID3D11Buffer* buffer) {
    std::vector<uint8_t> bytes = readBuffer(buffer);
    std::vector<T> values(bytes.size() / sizeof(T));
    if (!values.empty()) {
        std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
    }
    return values;
}

float halfToFloat(uint16_t half);

} // namespace d3d11_test
