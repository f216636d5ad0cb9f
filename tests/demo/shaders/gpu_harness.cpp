#include "demo/shaders/gpu_harness.h"

#include <algorithm>

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/engine_device.h"
#include "Fennick/frame_execution.h"

using namespace Fennick::gfx;

namespace {

template <class T> void release(T* object) {
    if (object)
        object->Release();
}

// Shader objects of a pass made for one draw or dispatch.
void releaseProgram(ShaderRuntime& program) {
    release(program.vertexShader);
    release(program.pixelShader);
    release(program.computeShader);
}

// Creates the pass with the given inputs, executes it once as the show executes its passes and
// releases its shaders.
template <class Pass, class Desc>
void runOnce(Desc d, const std::vector<Input>& inputs, const ContextBlock& context,
             void (*execute)(Pass&, const uint8_t*, uint32_t)) {
    for (const Input& in : inputs)
        d.inputs.push_back(in.binding);
    Pass pass;
    pass.create(std::move(d));
    execute(pass, static_cast<const uint8_t*>(context.data()), ContextBlock::kSize);
    releaseProgram(pass.program);
}

} // namespace

void ReleaseResource::operator()(Resource* r) const {
    r->release();
    delete r;
}

// One device for the whole test program, handed to the frame context, which creates and binds
// the show's six samplers.
GpuHarness::GpuHarness() {
    engineDeviceReady();
}

bool GpuHarness::ready() const {
    return engineDeviceReady();
}

GpuTexture GpuHarness::renderTarget(int width, int height) {
    TextureDesc d;
    d.width = uint32_t(width);
    d.height = uint32_t(height);
    d.format = FormatR32G32B32A32Float;
    GpuTexture t{decltype(GpuTexture::runtime)(new TextureRuntime()), width, height};
    t.runtime->init(d, 0);
    return t;
}

GpuTexture GpuHarness::texture(int width, int height, const std::vector<Rgba>& texels) {
    GpuTexture t = renderTarget(width, height);
    t.runtime->upload(texels.data(), uint32_t(width), uint32_t(height), sizeof(Rgba));
    return t;
}

GpuBuffer GpuHarness::structuredBuffer(const void* data, size_t stride, size_t count) {
    BufferDesc d;
    d.stride = uint32_t(stride);
    d.countX = uint32_t(count);
    d.initialData = data;
    GpuBuffer b{decltype(GpuBuffer::runtime)(new BufferRuntime())};
    b.runtime->init(d, 0);
    return b;
}

void GpuHarness::draw(ShaderBlock vs, ShaderBlock ps, const std::vector<Input>& inputs,
                      const ContextBlock& context, GpuTexture& target, unsigned vertexCount,
                      unsigned instanceCount, Rgba clear) {
    DrawPassDesc d;
    d.shader.vertexCode = vs.data;
    d.shader.vertexCodeSize = uint32_t(vs.size);
    d.shader.pixelCode = ps.data;
    d.shader.pixelCodeSize = uint32_t(ps.size);
    d.clearColor[0] = clear.r;
    d.clearColor[1] = clear.g;
    d.clearColor[2] = clear.b;
    d.clearColor[3] = clear.a;
    d.vertexCount = vertexCount;
    d.instanceCount = instanceCount;
    d.renderTargets.push_back({target.runtime.get(), 1});
    runOnce<DrawPassRuntime>(std::move(d), inputs, context, executeDrawPass);
}

void GpuHarness::dispatch(ShaderBlock cs, const std::vector<Input>& inputs,
                          const std::vector<Input>& outputs, const ContextBlock& context,
                          unsigned groupsX) {
    ComputePassDesc d;
    d.shader.computeCode = cs.data;
    d.shader.computeCodeSize = uint32_t(cs.size);
    d.threadsX = groupsX * 8;
    d.threadsY = 1;
    d.threadsZ = 1;
    for (const Input& out : outputs)
        d.outputs.push_back(out.binding);
    runOnce<ComputePassRuntime>(std::move(d), inputs, context, executeComputePass);
}

std::vector<Rgba> GpuHarness::read(GpuTexture& t) {
    const TexturePixels pixels = readTexture2D(t.runtime->resourceA);
    std::vector<Rgba> out(size_t(t.width) * t.height);
    std::memcpy(out.data(), pixels.bytes.data(), std::min(pixels.bytes.size(), out.size() * 16));
    return out;
}

std::vector<uint8_t> GpuHarness::read(GpuBuffer& b) {
    return readBuffer(b.runtime->bufferA);
}
