#include "shaders/gpu_harness.h"

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/frame_execution.h"
#include "params/frame_context.h"

using namespace Fennick::gfx;

namespace {

// One device for the whole test program, handed to the frame context, which creates and binds
// the show's six samplers.
bool deviceReady() {
    static const bool ready = [] {
        ID3D11Device* device = nullptr;
        ID3D11DeviceContext* context = nullptr;
        D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
        if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, &level, 1,
                                     D3D11_SDK_VERSION, &device, nullptr, &context)))
            return false;
        initFrameContext(ContextInit{ContextData{}, std::string(), device, context});
        return true;
    }();
    return ready;
}

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

GpuHarness::GpuHarness() {
    deviceReady();
}

bool GpuHarness::ready() const {
    return deviceReady();
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

namespace {

// Copies a resource into a CPU-readable twin and maps it.
template <class Desc, class Object>
std::vector<uint8_t> readThroughStaging(ID3D11Resource* resource, Desc d, size_t rowBytes,
                                        size_t rows) {
    d.Usage = D3D11_USAGE_STAGING;
    d.BindFlags = 0;
    d.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    d.MiscFlags = 0;
    FrameContext& fc = frameContext();
    Object* staging = nullptr;
    if constexpr (std::is_same_v<Object, ID3D11Buffer>)
        fc.device->CreateBuffer(&d, nullptr, &staging);
    else
        fc.device->CreateTexture2D(&d, nullptr, &staging);
    std::vector<uint8_t> out(rowBytes * rows);
    if (!staging)
        return out;
    fc.context->CopyResource(staging, resource);
    D3D11_MAPPED_SUBRESOURCE m{};
    if (SUCCEEDED(fc.context->Map(staging, 0, D3D11_MAP_READ, 0, &m))) {
        for (size_t y = 0; y < rows; ++y)
            std::memcpy(&out[y * rowBytes], static_cast<const uint8_t*>(m.pData) + y * m.RowPitch,
                        rowBytes);
        fc.context->Unmap(staging, 0);
    }
    staging->Release();
    return out;
}

} // namespace

std::vector<Rgba> GpuHarness::read(GpuTexture& t) {
    D3D11_TEXTURE2D_DESC d{};
    auto* texture = static_cast<ID3D11Texture2D*>(t.runtime->resourceA);
    texture->GetDesc(&d);
    d.MipLevels = 1;
    const std::vector<uint8_t> raw = readThroughStaging<D3D11_TEXTURE2D_DESC, ID3D11Texture2D>(
        texture, d, t.width * sizeof(Rgba), size_t(t.height));
    std::vector<Rgba> out(size_t(t.width) * t.height);
    std::memcpy(out.data(), raw.data(), raw.size());
    return out;
}

std::vector<uint8_t> GpuHarness::read(GpuBuffer& b) {
    D3D11_BUFFER_DESC d{};
    b.runtime->bufferA->GetDesc(&d);
    d.StructureByteStride = 0;
    return readThroughStaging<D3D11_BUFFER_DESC, ID3D11Buffer>(b.runtime->bufferA, d, d.ByteWidth,
                                                               1);
}
