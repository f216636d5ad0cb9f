// Checks of the web Direct3D layer through the Direct3D API itself, run in the browser by
// tests/web/d3d11_layer_test.mjs: each export returns 0 or prints what went wrong and returns
// 1. The show's own programs are used, as the web build compiled them.
#include <cstdio>
#include <cstring>
#include <vector>

#include "demo_shaders.h"
#include "platform/d3d11.h"

namespace {

// Releases at the end of a scope.
template <class T> struct Owned {
    T* p = nullptr;
    ~Owned() {
        if (p != nullptr) {
            p->Release();
        }
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
    operator T*() const { return p; }
};

int fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

struct Setup {
    Owned<ID3D11Device> device;
    Owned<ID3D11DeviceContext> context;
    bool make() {
        const D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
        return SUCCEEDED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, &level, 1,
                                           D3D11_SDK_VERSION, device.out(), nullptr,
                                           context.out()));
    }
};

// Reads a texture back through a staging copy and Map.
std::vector<uint8_t> readBack(Setup& s, ID3D11Texture2D* texture) {
    D3D11_TEXTURE2D_DESC desc;
    texture->GetDesc(&desc);
    desc.MipLevels = 1;
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    Owned<ID3D11Texture2D> staging;
    std::vector<uint8_t> out;
    if (FAILED(s.device->CreateTexture2D(&desc, nullptr, staging.out()))) {
        return out;
    }
    s.context->CopySubresourceRegion(staging, 0, 0, 0, 0, texture, 0, nullptr);
    D3D11_MAPPED_SUBRESOURCE mapped;
    if (SUCCEEDED(s.context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
        for (UINT row = 0; row < desc.Height; ++row) {
            const auto* line = static_cast<const uint8_t*>(mapped.pData) + row * mapped.RowPitch;
            out.insert(out.end(), line, line + desc.Width * 4);
        }
        s.context->Unmap(staging, 0);
    }
    return out;
}

ID3D11SamplerState* sampler(Setup& s, D3D11_FILTER filter) {
    D3D11_SAMPLER_DESC desc = {};
    desc.Filter = filter;
    desc.AddressU = desc.AddressV = desc.AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
    desc.MaxLOD = D3D11_FLOAT32_MAX;
    ID3D11SamplerState* state = nullptr;
    s.device->CreateSamplerState(&desc, &state);
    return state;
}

} // namespace

// The show's copy program into a target twice the size of its source: each texel covers
// 2 x 2 pixels, read through the point sampler of s3 (s0 holds a linear one).
extern "C" __attribute__((export_name("quavel_probe_copy_pass"))) int probeCopyPass() {
    Setup s;
    if (!s.make()) {
        return fail("D3D11CreateDevice failed");
    }
    const UINT width = 61, height = 37;
    std::vector<uint8_t> pixels(width * height * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const size_t texel = i / 4;
        pixels[i] = static_cast<uint8_t>((texel % width) * 7 + (texel / width) * 13 + (i % 4) * 50);
    }
    D3D11_TEXTURE2D_DESC desc = {width,
                                 height,
                                 1,
                                 1,
                                 DXGI_FORMAT_R8G8B8A8_UNORM,
                                 {1, 0},
                                 D3D11_USAGE_DEFAULT,
                                 D3D11_BIND_SHADER_RESOURCE,
                                 0,
                                 0};
    const D3D11_SUBRESOURCE_DATA data = {pixels.data(), width * 4, 0};
    Owned<ID3D11Texture2D> source, target;
    Owned<ID3D11ShaderResourceView> sourceView;
    Owned<ID3D11RenderTargetView> targetView;
    Owned<ID3D11VertexShader> vs;
    Owned<ID3D11PixelShader> ps;
    Owned<ID3D11SamplerState> linear, point;
    linear.p = sampler(s, D3D11_FILTER_MIN_MAG_MIP_LINEAR);
    point.p = sampler(s, D3D11_FILTER_MIN_MAG_MIP_POINT);
    D3D11_TEXTURE2D_DESC targetDesc = desc;
    targetDesc.Width = 2 * width;
    targetDesc.Height = 2 * height;
    targetDesc.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    if (FAILED(s.device->CreateTexture2D(&desc, &data, source.out())) ||
        FAILED(s.device->CreateTexture2D(&targetDesc, nullptr, target.out())) ||
        FAILED(s.device->CreateShaderResourceView(source, nullptr, sourceView.out())) ||
        FAILED(s.device->CreateRenderTargetView(target, nullptr, targetView.out())) ||
        FAILED(s.device->CreateVertexShader(vsFullscreen, vsFullscreen_size, nullptr, vs.out())) ||
        FAILED(s.device->CreatePixelShader(psCopy, psCopy_size, nullptr, ps.out())) || !linear ||
        !point) {
        return fail("copy pass: an object could not be made");
    }
    const D3D11_VIEWPORT viewport = {0, 0, float(2 * width), float(2 * height), 0, 1};
    ID3D11SamplerState* samplers[] = {linear, nullptr, nullptr, point};
    ID3D11ShaderResourceView* views[] = {sourceView};
    ID3D11RenderTargetView* targets[] = {targetView};
    s.context->OMSetRenderTargets(1, targets, nullptr);
    s.context->RSSetViewports(1, &viewport);
    s.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    s.context->VSSetShader(vs, nullptr, 0);
    s.context->PSSetShader(ps, nullptr, 0);
    s.context->PSSetShaderResources(0, 1, views);
    s.context->PSSetSamplers(0, 4, samplers);
    s.context->Draw(3, 0);
    const std::vector<uint8_t> back = readBack(s, target);
    if (back.size() != size_t(4) * targetDesc.Width * targetDesc.Height) {
        return fail("copy pass: no read-back");
    }
    for (size_t i = 0; i < back.size(); ++i) {
        const size_t x = (i / 4) % targetDesc.Width, y = (i / 4) / targetDesc.Width;
        const uint8_t expected = pixels[((y / 2) * width + x / 2) * 4 + i % 4];
        if (back[i] != expected) {
            char line[160];
            std::snprintf(line, sizeof line,
                          "copy pass: pixel (%zu, %zu) channel %zu is %u, expected %u", x, y, i % 4,
                          back[i], expected);
            return fail(line);
        }
    }
    return 0;
}
