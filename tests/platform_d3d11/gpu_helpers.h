// Small builders for the Direct3D layer's GPU tests: owned references, resources from
// arrays, views, shaders from the test programs, and a draw or dispatch with the common state.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "d3d11_test_shaders.h"
#include "test_device.h"

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

// The layout of TestParams in shaders/test_params.hlsli.
struct TestParams {
    float params[4] = {0, 0, 0, 0};
    float coordinate[4] = {0, 0, 0, 0};
    uint32_t count = 0;
    float scale = 1;
    float padding[2] = {0, 0};
};

inline ID3D11Device* device() {
    return testDevice().device;
}
inline ID3D11DeviceContext* context() {
    return testDevice().context;
}

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

// The six samplers of the show: linear then point, each clamp, border (0) and wrap.
std::vector<Com<ID3D11SamplerState>> makeShowSamplers();

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

// GPU tests run where a display is (Xvfb in CI): no device there is a failure.
#define REQUIRE_DEVICE() ASSERT_TRUE(testDevice()) << "no Direct3D device could be made"

} // namespace d3d11_test
