// The Direct3D layer's GPU tests: one device for the test program (D3D11CreateDevice, no
// window of the show), owned references, resources from arrays, views, the test programs, a
// draw or dispatch with the common state, and read-back through staging copies and Map.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/texture_read_back.h"
#include "d3d11_test_shaders.h"
#include "platform/d3d11.h"

namespace d3d11_test {

template <class T> class Com {
public:
    Com() = default;
    explicit Com(T* object) : object_(object) {}
    Com(Com&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    Com& operator=(Com&& other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    Com(const Com&) = delete;
    ~Com() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T** out() { return &object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

struct TestDevice {
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    explicit operator bool() const { return device != nullptr; }
};

// The process's test device (hardware driver, levels 11_0 then 10_0), made on first use and
// kept until the process ends; empty when none can be made.
TestDevice& testDevice();
inline ID3D11Device* device() {
    return testDevice().device;
}
inline ID3D11DeviceContext* context() {
    return testDevice().context;
}

// GPU tests run where a display is (Xvfb in CI): no device there is a failure.
#define REQUIRE_DEVICE() ASSERT_TRUE(testDevice()) << "no Direct3D device could be made"

// The layout of TestParams in shaders/test_params.hlsli.
struct TestParams {
    float params[4] = {0, 0, 0, 0};
    float coordinate[4] = {0, 0, 0, 0};
    uint32_t count = 0;
    float scale = 1;
    float padding[2] = {0, 0};
};

constexpr UINT colourBinds =
    D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET | D3D11_BIND_UNORDERED_ACCESS;

// A default-usage single-sample 2D texture description.
D3D11_TEXTURE2D_DESC describeTexture2D(UINT width, UINT height, DXGI_FORMAT format, UINT binds,
                                       UINT mipLevels = 1, UINT misc = 0);
Com<ID3D11Texture2D> makeTexture2D(UINT width, UINT height, DXGI_FORMAT format, UINT binds,
                                   const void* data = nullptr, UINT rowPitch = 0,
                                   UINT mipLevels = 1, UINT misc = 0);
Com<ID3D11Buffer> makeStructured(UINT stride, UINT count, const void* data = nullptr);
Com<ID3D11Buffer> makeConstants(const TestParams& params);
Com<ID3D11ShaderResourceView> makeSrv(ID3D11Resource* resource);
Com<ID3D11UnorderedAccessView> makeUav(ID3D11Resource* resource);
Com<ID3D11RenderTargetView> makeRtv(ID3D11Resource* resource);

Com<ID3D11VertexShader> makeVertexShader(const unsigned char* code, unsigned int size);
Com<ID3D11PixelShader> makePixelShader(const unsigned char* code, unsigned int size);
Com<ID3D11ComputeShader> makeComputeShader(const unsigned char* code, unsigned int size);
#define TEST_VS(name) makeVertexShader(name, name##_size)
#define TEST_PS(name) makePixelShader(name, name##_size)
#define TEST_CS(name) makeComputeShader(name, name##_size)

// Binds targets, a full-target viewport, triangle lists, b8 and t0.. for both stages, then
// draws. Rasterizer and blend state stay as the caller set them.
struct DrawSetup {
    ID3D11VertexShader* vertex = nullptr;
    ID3D11PixelShader* pixel = nullptr;
    std::vector<ID3D11RenderTargetView*> targets;
    ID3D11DepthStencilView* depth = nullptr;
    std::vector<ID3D11ShaderResourceView*> inputs;
    ID3D11Buffer* constants = nullptr;
    UINT width = 0;
    UINT height = 0;
    const D3D11_VIEWPORT* viewport = nullptr; // instead of the full width x height
    UINT vertexCount = 3;
    UINT instanceCount = 1;
};
void draw(const DrawSetup& setup);

// Binds b8, t0.. and u0.., dispatches and unbinds.
void dispatch(ID3D11ComputeShader* shader, ID3D11Buffer* constants,
              const std::vector<ID3D11ShaderResourceView*>& inputs,
              const std::vector<ID3D11UnorderedAccessView*>& outputs, UINT x, UINT y = 1,
              UINT z = 1);

// Mip level `level` of a 2D texture, rows tightly packed, row 0 (the top) first.
using Pixels = TexturePixels;
Pixels readTexture2D(ID3D11Texture2D* texture, UINT level = 0);
// Every slice of level 0 of a 3D texture (or the row of a 1D one), packed.
std::vector<uint8_t> readTexture3D(ID3D11Texture3D* texture);
std::vector<uint8_t> readTexture1D(ID3D11Texture1D* texture);
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
