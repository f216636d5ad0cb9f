#include "engine_device.h"

#include <cmath>

#include "Fennick/frame_context.h"

namespace {

template <typename T> void releaseObject(T* object) {
    if (object)
        object->Release();
}

} // namespace

bool engineDeviceReady() {
    static const bool ready = [] {
        ID3D11Device* device = nullptr;
        ID3D11DeviceContext* context = nullptr;
        D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
        const HRESULT hr = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, &level,
                                             1, D3D11_SDK_VERSION, &device, nullptr, &context);
        if (FAILED(hr) || !device || !context)
            return false;
        initFrameContext(ContextInit{ContextData{}, std::string(), device, context});
        return true;
    }();
    return ready;
}

std::vector<uint8_t> readBuffer(ID3D11Resource* resource) {
    std::vector<uint8_t> bytes;
    if (!resource)
        return bytes;
    D3D11_BUFFER_DESC desc = {};
    static_cast<ID3D11Buffer*>(resource)->GetDesc(&desc);
    D3D11_BUFFER_DESC staging = {};
    staging.ByteWidth = desc.ByteWidth;
    staging.Usage = D3D11_USAGE_STAGING;
    staging.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ID3D11Buffer* copy = nullptr;
    FrameContext& fc = frameContext();
    fc.device->CreateBuffer(&staging, nullptr, &copy);
    if (!copy)
        return bytes;
    fc.context->CopyResource(copy, resource);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    if (SUCCEEDED(fc.context->Map(copy, 0, D3D11_MAP_READ, 0, &mapped))) {
        const uint8_t* data = static_cast<const uint8_t*>(mapped.pData);
        bytes.assign(data, data + desc.ByteWidth);
        fc.context->Unmap(copy, 0);
    }
    releaseObject(copy);
    return bytes;
}

void writeBuffer(ID3D11Resource* buffer, const void* data) {
    frameContext().context->UpdateSubresource(buffer, 0, nullptr, data, 0, 0);
}

TexturePixels readTexture2D(ID3D11Resource* resource, uint32_t level) {
    FrameContext& fc = frameContext();
    return readTexture2D(fc.device, fc.context, static_cast<ID3D11Texture2D*>(resource), level);
}

float halfToFloat(uint16_t half) {
    const int sign = half >> 15 ? -1 : 1;
    const int exponent = (half >> 10) & 0x1F;
    const int mantissa = half & 0x3FF;
    if (exponent == 0)
        return sign * std::ldexp(float(mantissa), -24);
    if (exponent == 31)
        return mantissa ? NAN : sign * INFINITY;
    return sign * std::ldexp(float(mantissa + 1024), exponent - 25);
}

void texelRgba(const TexturePixels& pixels, uint32_t x, uint32_t y, float rgba[4]) {
    const uint8_t* texel = pixels.texel(x, y);
    if (pixels.bytesPerTexel == 16) {
        std::memcpy(rgba, texel, 16);
        return;
    }
    for (int c = 0; c < 4; ++c) {
        uint16_t half = 0;
        std::memcpy(&half, texel + 2 * c, 2);
        rgba[c] = halfToFloat(half);
    }
}
