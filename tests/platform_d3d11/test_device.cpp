#include "test_device.h"

#include <cmath>

namespace d3d11_test {
namespace {

UINT bytesPerTexel(DXGI_FORMAT format) {
    switch (format) {
    case DXGI_FORMAT_R32G32B32A32_FLOAT:
    case DXGI_FORMAT_R32G32B32A32_UINT:
        return 16;
    case DXGI_FORMAT_R16G16B16A16_FLOAT:
    case DXGI_FORMAT_R32G32_FLOAT:
        return 8;
    case DXGI_FORMAT_R16_FLOAT:
        return 2;
    case DXGI_FORMAT_R8_UNORM:
        return 1;
    default:
        return 4;
    }
}

// Copies mapped rows (and slices) into a tightly packed vector.
std::vector<uint8_t> packRows(const D3D11_MAPPED_SUBRESOURCE& mapped, UINT rowBytes, UINT rows,
                              UINT slices) {
    std::vector<uint8_t> bytes(size_t(rowBytes) * rows * slices);
    for (UINT z = 0; z < slices; ++z) {
        for (UINT y = 0; y < rows; ++y) {
            std::memcpy(bytes.data() + (size_t(z) * rows + y) * rowBytes,
                        static_cast<const uint8_t*>(mapped.pData) + size_t(z) * mapped.DepthPitch +
                            size_t(y) * mapped.RowPitch,
                        rowBytes);
        }
    }
    return bytes;
}

template <class Texture, class Desc>
std::vector<uint8_t>
readBack(Texture* texture, Desc desc, UINT level, UINT rowBytes, UINT rows, UINT slices,
         HRESULT (ID3D11Device::*create)(const Desc*, const D3D11_SUBRESOURCE_DATA*, Texture**)) {
    TestDevice& test = testDevice();
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    Texture* staging = nullptr;
    if (FAILED((test.device->*create)(&desc, nullptr, &staging))) {
        return {};
    }
    test.context->CopyResource(staging, texture);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    std::vector<uint8_t> bytes;
    if (SUCCEEDED(test.context->Map(staging, level, D3D11_MAP_READ, 0, &mapped))) {
        bytes = packRows(mapped, rowBytes, rows, slices);
        test.context->Unmap(staging, level);
    }
    staging->Release();
    return bytes;
}

} // namespace

TestDevice& testDevice() {
    static TestDevice test = [] {
        TestDevice made;
        const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_0};
        D3D_FEATURE_LEVEL obtained;
        if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, levels, 2,
                                     D3D11_SDK_VERSION, &made.device, &obtained, &made.context))) {
            made = TestDevice();
        }
        return made;
    }();
    return test;
}

Pixels readTexture2D(ID3D11Texture2D* texture, UINT level) {
    D3D11_TEXTURE2D_DESC desc;
    texture->GetDesc(&desc);
    Pixels pixels;
    pixels.width = desc.Width >> level ? desc.Width >> level : 1;
    pixels.height = desc.Height >> level ? desc.Height >> level : 1;
    pixels.bytesPerTexel = bytesPerTexel(desc.Format);
    pixels.bytes = readBack(texture, desc, level, pixels.width * pixels.bytesPerTexel,
                            pixels.height, 1, &ID3D11Device::CreateTexture2D);
    return pixels;
}

std::vector<uint8_t> readTexture3D(ID3D11Texture3D* texture, UINT level) {
    D3D11_TEXTURE3D_DESC desc;
    texture->GetDesc(&desc);
    UINT width = desc.Width >> level ? desc.Width >> level : 1;
    UINT height = desc.Height >> level ? desc.Height >> level : 1;
    UINT depth = desc.Depth >> level ? desc.Depth >> level : 1;
    return readBack(texture, desc, level, width * bytesPerTexel(desc.Format), height, depth,
                    &ID3D11Device::CreateTexture3D);
}

std::vector<uint8_t> readTexture1D(ID3D11Texture1D* texture, UINT level) {
    D3D11_TEXTURE1D_DESC desc;
    texture->GetDesc(&desc);
    UINT width = desc.Width >> level ? desc.Width >> level : 1;
    return readBack(texture, desc, level, width * bytesPerTexel(desc.Format), 1, 1,
                    &ID3D11Device::CreateTexture1D);
}

std::vector<uint8_t> readBuffer(ID3D11Buffer* buffer) {
    TestDevice& test = testDevice();
    D3D11_BUFFER_DESC desc;
    buffer->GetDesc(&desc);
    D3D11_BUFFER_DESC stagingDesc = {
        desc.ByteWidth, D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0, 0};
    ID3D11Buffer* staging = nullptr;
    if (FAILED(test.device->CreateBuffer(&stagingDesc, nullptr, &staging))) {
        return {};
    }
    test.context->CopyResource(staging, buffer);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    std::vector<uint8_t> bytes;
    if (SUCCEEDED(test.context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
        const uint8_t* data = static_cast<const uint8_t*>(mapped.pData);
        bytes.assign(data, data + desc.ByteWidth);
        test.context->Unmap(staging, 0);
    }
    staging->Release();
    return bytes;
}

float halfToFloat(uint16_t half) {
    int exponent = (half >> 10) & 0x1f;
    int mantissa = half & 0x3ff;
    float sign = (half & 0x8000) ? -1.0f : 1.0f;
    if (exponent == 0) {
        return sign * std::ldexp(static_cast<float>(mantissa), -24);
    }
    if (exponent == 31) {
        return mantissa ? NAN : sign * INFINITY;
    }
    return sign * std::ldexp(static_cast<float>(mantissa + 1024), exponent - 25);
}

} // namespace d3d11_test
