// Runs single shader programs through the engine: the frame context's device and its six
// shared samplers, engine textures and buffers filled from plain arrays, one draw or compute
// pass executed as the show executes its passes, and read-back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "Fennick/buffer_runtime.h"
#include "Fennick/pass_bindings.h"
#include "Fennick/texture_runtime.h"
#include "demo/shaders/context_block.h"

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// A compiled program as linked into the build.
struct ShaderBlock {
    const void* data;
    size_t size;
};

// Engine resources owned by a test; their device objects are released with them.
struct ReleaseResource {
    void operator()(Fennick::gfx::Resource* r) const;
};

struct GpuTexture {
    std::unique_ptr<Fennick::gfx::TextureRuntime, ReleaseResource> runtime;
    int width = 0, height = 0;
};

struct GpuBuffer {
    std::unique_ptr<Fennick::gfx::BufferRuntime, ReleaseResource> runtime;
};

// One input slot of a pass.
struct Input {
    Input(GpuTexture& t) : binding{Fennick::gfx::Texture, t.runtime.get()} {}
    Input(GpuBuffer& b) : binding{Fennick::gfx::Buffer, b.runtime.get()} {}
    Fennick::gfx::ResourceBinding binding;
};

class GpuHarness {
public:
    GpuHarness();
    bool ready() const;

    // Textures: uniform or per-texel RGBA float data, row 0 first.
    GpuTexture texture(int width, int height, const std::vector<Rgba>& texels);
    GpuTexture uniformTexture(Rgba colour) { return texture(2, 2, std::vector<Rgba>(4, colour)); }
    GpuTexture renderTarget(int width, int height);
    GpuBuffer structuredBuffer(const void* data, size_t stride, size_t count);

    // Draws vertexCount x instanceCount vertices into target after clearing it to clear.
    void draw(ShaderBlock vs, ShaderBlock ps, const std::vector<Input>& inputs,
              const ContextBlock& context, GpuTexture& target, unsigned vertexCount,
              unsigned instanceCount = 1, Rgba clear = {0, 0, 0, 0});
    // Dispatches groups along x; outputs go to u(inputs.size()) on.
    void dispatch(ShaderBlock cs, const std::vector<Input>& inputs,
                  const std::vector<Input>& outputs, const ContextBlock& context, unsigned groupsX);

    std::vector<Rgba> read(GpuTexture& t);
    std::vector<uint8_t> read(GpuBuffer& b);
    template <class T> std::vector<T> readAs(GpuBuffer& b) {
        std::vector<uint8_t> bytes = read(b);
        std::vector<T> out(bytes.size() / sizeof(T));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
        return out;
    }
};

// Pixel-centre texture coordinate of pixel (x, y) in a w x h target with v growing downwards.
inline float pixelU(int x, int w) {
    return (x + 0.5f) / w;
}
inline float pixelV(int y, int h) {
    return (y + 0.5f) / h;
}
