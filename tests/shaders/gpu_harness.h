// Runs single shader programs through the Direct3D interface: a device with the show's six
// samplers, resources made from plain arrays, one draw or dispatch, and read-back.
#pragma once

#include "platform/d3d11.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "shaders/context_block.h"

// Owns one reference to a Direct3D object.
template <class T> class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref&& o) noexcept {
        reset();
        p_ = std::exchange(o.p_, nullptr);
        return *this;
    }
    ~Ref() { reset(); }
    void reset() {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** out() {
        reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// A compiled program as linked into the build.
struct ShaderBlock {
    const void* data;
    size_t size;
};

struct GpuTexture {
    Ref<ID3D11Texture2D> texture;
    Ref<ID3D11ShaderResourceView> srv;
    Ref<ID3D11RenderTargetView> rtv;
    int width = 0, height = 0;
};

struct GpuBuffer {
    Ref<ID3D11Buffer> buffer;
    Ref<ID3D11ShaderResourceView> srv;
    Ref<ID3D11UnorderedAccessView> uav;
};

class GpuHarness {
public:
    GpuHarness();
    bool ready() const { return device_.get() != nullptr; }

    // Textures: uniform or per-texel RGBA float data, row 0 first.
    GpuTexture texture(int width, int height, const std::vector<Rgba>& texels);
    GpuTexture uniformTexture(Rgba colour) { return texture(2, 2, std::vector<Rgba>(4, colour)); }
    GpuTexture renderTarget(int width, int height);
    GpuBuffer structuredBuffer(const void* data, size_t stride, size_t count);

    // Draws vertexCount x instanceCount vertices into target after clearing it to clear.
    void draw(ShaderBlock vs, ShaderBlock ps, const std::vector<ID3D11ShaderResourceView*>& inputs,
              const ContextBlock& context, GpuTexture& target, unsigned vertexCount,
              unsigned instanceCount = 1, Rgba clear = {0, 0, 0, 0});
    // Dispatches groups along x; outputs go to u(inputs.size()) on.
    void dispatch(ShaderBlock cs, const std::vector<ID3D11ShaderResourceView*>& inputs,
                  const std::vector<ID3D11UnorderedAccessView*>& outputs,
                  const ContextBlock& context, unsigned groupsX);

    std::vector<Rgba> read(GpuTexture& t);
    std::vector<uint8_t> read(GpuBuffer& b);
    template <class T> std::vector<T> readAs(GpuBuffer& b) {
        std::vector<uint8_t> bytes = read(b);
        std::vector<T> out(bytes.size() / sizeof(T));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
        return out;
    }

private:
    Ref<ID3D11Buffer> constantBuffer(const ContextBlock& context);

    Ref<ID3D11Device> device_;
    Ref<ID3D11DeviceContext> context_;
    std::vector<Ref<ID3D11SamplerState>> samplers_;
};

// Pixel-centre texture coordinate of pixel (x, y) in a w x h target with v growing downwards.
inline float pixelU(int x, int w) {
    return (x + 0.5f) / w;
}
inline float pixelV(int y, int h) {
    return (y + 0.5f) / h;
}
