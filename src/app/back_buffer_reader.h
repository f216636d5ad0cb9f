// Reads the presented picture back through the Direct3D interface: the swap chain's back
// buffer is copied into a CPU-readable staging texture, made once and used for every frame,
// and mapped (texture_read_back.h).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d11.h"

class BackBufferReader {
public:
    BackBufferReader(ID3D11Device* device, ID3D11DeviceContext* context, IDXGISwapChain* chain);
    ~BackBufferReader();
    BackBufferReader(const BackBufferReader&) = delete;
    BackBufferReader& operator=(const BackBufferReader&) = delete;

    bool ok() const { return staging_ != nullptr; }
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }

    // Top row first, RGBA 8 bits per channel.
    bool read(std::vector<std::uint8_t>& rgba);

private:
    ID3D11DeviceContext* context_;
    ID3D11Texture2D* backBuffer_ = nullptr;
    ID3D11Texture2D* staging_ = nullptr;
    std::uint32_t width_ = 0, height_ = 0;
};
