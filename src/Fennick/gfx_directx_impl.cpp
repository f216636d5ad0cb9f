// Every Direct3D call of the engine: resource creation, release, upload and mips, shader
// creation, pass execution, the graph's final pass and its frame.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "Fennick/buffer_runtime.h"
#include "Fennick/compute_pass_runtime.h"
#include "Fennick/copy_selection.h"
#include "Fennick/creation_check.h"
#include "Fennick/dispatch_groups.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/final_pass_shaders.h"
#include "Fennick/frame_context.h"
#include "Fennick/frame_execution.h"
#include "Fennick/graph_runtime.h"
#include "Fennick/image_runtime.h"
#include "Fennick/pipeline_state.h"
#include "Fennick/state_passes.h"
#include "Fennick/texture_layout.h"
#include "Fennick/texture_runtime.h"
#include "Fennick/upload_block.h"

namespace {

// A missing depth view stops the process the way assert does, naming this file and the line.
// Creation results are not asserted: they are recorded for the start-up check
// (creation_check.h), which stops the program with a message instead.
[[noreturn]] void gfxAssertFailed(const char* expression, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file gfx_directx_impl.cpp, line %d\n", expression,
                 line);
    std::fflush(stderr);
    std::abort();
}

#define GFX_ASSERT(expression)                                                                     \
    ((expression) ? static_cast<void>(0) : gfxAssertFailed(#expression, __LINE__))

ID3D11Device* device() {
    return frameContext().device;
}
ID3D11DeviceContext* immediateContext() {
    return frameContext().context;
}

template <typename T> void releaseAndClear(T*& object) {
    if (object)
        object->Release();
    object = nullptr;
}

// Null views that unbind a run of slots.
ID3D11ShaderResourceView* const kNullSrvs[D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT] = {};
ID3D11UnorderedAccessView* const kNullUavs[D3D11_PS_CS_UAV_REGISTER_COUNT] = {};

// Slots past the device's limits cannot be bound; clamping keeps every call in range.
UINT srvSlotsUsed(size_t count) {
    return UINT(count < D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT
                    ? count
                    : D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT);
}

UINT uavSlotsUsed(size_t first, size_t count) {
    if (first >= D3D11_PS_CS_UAV_REGISTER_COUNT)
        return 0;
    const size_t room = D3D11_PS_CS_UAV_REGISTER_COUNT - first;
    return UINT(count < room ? count : room);
}

} // namespace

namespace Fennick::gfx {

// ---------------------------------------------------------------------------------------
// Textures

namespace {

UINT colourBindFlags(bool withRenderTarget) {
    UINT flags = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS;
    if (withRenderTarget)
        flags |= D3D11_BIND_RENDER_TARGET;
    return flags;
}

// Zeros to create a resource from. Direct3D leaves a resource created without data undefined
// (a driver may hand out recycled memory), and a pass may read a resource before any pass has
// written it: copy B of a double-buffered resource in the first frame, or a target sampled
// before its first clear. calloc gives the zeros without writing them.
struct ZeroBlock {
    explicit ZeroBlock(size_t bytes) : bytes(std::calloc(bytes ? bytes : 1, 1)) {}
    ~ZeroBlock() { std::free(bytes); }
    ZeroBlock(const ZeroBlock&) = delete;
    ZeroBlock& operator=(const ZeroBlock&) = delete;
    void* bytes;
};

// Zero initial data for every mip level of a colour texture, all levels reading the one block
// (level 0 is the largest). Empty for depth textures, which no pass can read (they get no
// shader-resource view), and when `zeroed` is false.
struct TextureZeros {
    std::unique_ptr<ZeroBlock> block;
    std::vector<D3D11_SUBRESOURCE_DATA> levels;
    const D3D11_SUBRESOURCE_DATA* data() const { return levels.empty() ? nullptr : levels.data(); }
};

TextureZeros textureZeros(const TextureDesc& desc, UINT mipLevels, bool zeroed) {
    TextureZeros zeros;
    const uint32_t bytes = texelBytes(desc.format);
    if (!zeroed || bytes == 0)
        return zeros;
    const bool hasHeight = desc.dimension != Tex1D, hasDepth = desc.dimension == Tex3D;
    const size_t width = deviceExtent(desc.width),
                 height = hasHeight ? deviceExtent(desc.height) : 1,
                 depth = hasDepth ? deviceExtent(desc.depth) : 1;
    zeros.block = std::make_unique<ZeroBlock>(width * height * depth * bytes);
    if (!zeros.block->bytes)
        return zeros;
    for (UINT level = 0; level < mipLevels; ++level) {
        const size_t w = std::max<size_t>(1, width >> level),
                     h = std::max<size_t>(1, height >> level);
        zeros.levels.push_back({zeros.block->bytes, UINT(w * bytes), UINT(w * h * bytes)});
    }
    return zeros;
}

ID3D11Resource* createTextureResource(const TextureDesc& desc, UINT mipLevels, bool zeroed,
                                      const char* copy) {
    const DXGI_FORMAT format = dxgiFormat(desc.format);
    const UINT miscFlags = mipLevels > 1 ? D3D11_RESOURCE_MISC_GENERATE_MIPS : 0;
    const TextureZeros zeros = textureZeros(desc, mipLevels, zeroed);
    HRESULT hr = S_OK;
    switch (desc.dimension) {
    case Tex1D: {
        D3D11_TEXTURE1D_DESC d = {};
        d.Width = deviceExtent(desc.width);
        d.MipLevels = mipLevels;
        d.ArraySize = 1;
        d.Format = format;
        d.Usage = D3D11_USAGE_DEFAULT;
        d.BindFlags = colourBindFlags(mipLevels > 1);
        d.MiscFlags = miscFlags;
        ID3D11Texture1D* texture = nullptr;
        hr = device()->CreateTexture1D(&d, zeros.data(), &texture);
        noteCreation("CreateTexture1D", hr, texture, copy);
        return texture;
    }
    case Tex2D: {
        D3D11_TEXTURE2D_DESC d = {};
        d.Width = deviceExtent(desc.width);
        d.Height = deviceExtent(desc.height);
        d.MipLevels = mipLevels;
        d.ArraySize = 1;
        d.Format = format;
        d.SampleDesc.Count = 1;
        d.SampleDesc.Quality = 0;
        d.Usage = D3D11_USAGE_DEFAULT;
        d.BindFlags =
            isDepthFormat(desc.format) ? UINT(D3D11_BIND_DEPTH_STENCIL) : colourBindFlags(true);
        d.MiscFlags = miscFlags;
        ID3D11Texture2D* texture = nullptr;
        hr = device()->CreateTexture2D(&d, zeros.data(), &texture);
        noteCreation("CreateTexture2D", hr, texture, copy);
        return texture;
    }
    case Tex3D: {
        D3D11_TEXTURE3D_DESC d = {};
        d.Width = deviceExtent(desc.width);
        d.Height = deviceExtent(desc.height);
        d.Depth = deviceExtent(desc.depth);
        d.MipLevels = mipLevels;
        d.Format = format;
        d.Usage = D3D11_USAGE_DEFAULT;
        d.BindFlags = colourBindFlags(mipLevels > 1);
        d.MiscFlags = miscFlags;
        ID3D11Texture3D* texture = nullptr;
        hr = device()->CreateTexture3D(&d, zeros.data(), &texture);
        noteCreation("CreateTexture3D", hr, texture, copy);
        return texture;
    }
    }
    return nullptr;
}

struct ColourViews {
    ID3D11UnorderedAccessView* uav = nullptr;
    ID3D11ShaderResourceView* srv = nullptr;
    ID3D11RenderTargetView* rtv = nullptr;
};

ColourViews createColourViews(ID3D11Resource* resource, const TextureDesc& desc, UINT mipLevels,
                              const char* copy) {
    ColourViews views;
    if (!resource)
        return views;
    const DXGI_FORMAT format = dxgiFormat(desc.format);

    D3D11_UNORDERED_ACCESS_VIEW_DESC uav = {};
    uav.Format = format;
    D3D11_SHADER_RESOURCE_VIEW_DESC srv = {};
    srv.Format = format;
    switch (desc.dimension) {
    case Tex1D:
        uav.ViewDimension = D3D11_UAV_DIMENSION_TEXTURE1D;
        uav.Texture1D.MipSlice = 0;
        srv.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE1D;
        srv.Texture1D.MostDetailedMip = 0;
        srv.Texture1D.MipLevels = mipLevels;
        break;
    case Tex2D:
        uav.ViewDimension = D3D11_UAV_DIMENSION_TEXTURE2D;
        uav.Texture2D.MipSlice = 0;
        srv.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
        srv.Texture2D.MostDetailedMip = 0;
        srv.Texture2D.MipLevels = mipLevels;
        break;
    case Tex3D:
        uav.ViewDimension = D3D11_UAV_DIMENSION_TEXTURE3D;
        uav.Texture3D.MipSlice = 0;
        uav.Texture3D.FirstWSlice = 0;
        // The device holds at least one slice even when the description says 0.
        uav.Texture3D.WSize = deviceExtent(desc.depth);
        srv.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE3D;
        srv.Texture3D.MostDetailedMip = 0;
        srv.Texture3D.MipLevels = mipLevels;
        break;
    }
    HRESULT hr = device()->CreateUnorderedAccessView(resource, &uav, &views.uav);
    noteCreation("CreateUnorderedAccessView", hr, views.uav, copy);
    hr = device()->CreateShaderResourceView(resource, &srv, &views.srv);
    noteCreation("CreateShaderResourceView", hr, views.srv, copy);
    if (desc.dimension == Tex2D) {
        D3D11_RENDER_TARGET_VIEW_DESC rtv = {};
        rtv.Format = format;
        rtv.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
        rtv.Texture2D.MipSlice = 0;
        hr = device()->CreateRenderTargetView(resource, &rtv, &views.rtv);
        noteCreation("CreateRenderTargetView", hr, views.rtv, copy);
    }
    return views;
}

} // namespace

bool TextureRuntime::create() {
    const UINT mipLevels = mipLevelCount(desc);
    // An image is uploaded whole right after this; every other texture starts as zeros.
    const bool zeroed = dynamic_cast<ImageRuntime*>(this) == nullptr;
    resourceA = createTextureResource(desc, mipLevels, zeroed, "copy A");
    if (doubleBuffered)
        resourceB = createTextureResource(desc, mipLevels, zeroed, "copy B");

    if (isDepthFormat(desc.format)) {
        if (resourceA) {
            D3D11_DEPTH_STENCIL_VIEW_DESC d = {};
            d.Format = dxgiFormat(desc.format);
            d.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
            d.Flags = 0;
            d.Texture2D.MipSlice = 0;
            const HRESULT hr = device()->CreateDepthStencilView(resourceA, &d, &dsv);
            noteCreation("CreateDepthStencilView", hr, dsv);
        }
        return true;
    }

    const ColourViews a = createColourViews(resourceA, desc, mipLevels, "copy A");
    uavA = a.uav;
    srvA = a.srv;
    rtvA = a.rtv;
    if (doubleBuffered) {
        const ColourViews b = createColourViews(resourceB, desc, mipLevels, "copy B");
        uavB = b.uav;
        srvB = b.srv;
        rtvB = b.rtv;
    }
    return true;
}

bool TextureRuntime::release() {
    releaseAndClear(resourceA);
    releaseAndClear(uavA);
    releaseAndClear(srvA);
    releaseAndClear(rtvA);
    releaseAndClear(dsv);
    releaseAndClear(resourceB);
    releaseAndClear(uavB);
    releaseAndClear(srvB);
    releaseAndClear(rtvB);
    return true;
}

void TextureRuntime::upload(const void* pixels, uint32_t width, uint32_t height,
                            uint32_t bytesPerPixel) {
    if (!resourceA || !pixels)
        return;
    D3D11_BOX box = {};
    box.left = 0;
    box.top = 0;
    box.front = 0;
    box.right = width;
    box.bottom = height;
    box.back = 1;
    immediateContext()->UpdateSubresource(resourceA, 0, &box, pixels, bytesPerPixel * width, 0);
}

void TextureRuntime::generateMips() {
    // A texture too small for a second level has no chain to rebuild (and no generate-mips
    // flag, without which the device refuses the call).
    if (desc.mipmaps != 1 || mipLevelCount(desc) < 2)
        return;
    if (srvA)
        immediateContext()->GenerateMips(srvA);
    if (doubleBuffered && srvB)
        immediateContext()->GenerateMips(srvB);
}

// ---------------------------------------------------------------------------------------
// Buffers

namespace {

ID3D11Buffer* createBuffer(const BufferDesc& desc, const void* initialData, const char* copy) {
    const UINT byteWidth = elementCount(desc) * desc.stride;
    // An empty buffer cannot exist on the device; leave it absent rather than depend on how
    // the driver answers.
    if (byteWidth == 0)
        return nullptr;
    D3D11_BUFFER_DESC d = {};
    d.ByteWidth = byteWidth;
    d.Usage = D3D11_USAGE_DEFAULT;
    d.BindFlags = desc.constant ? UINT(D3D11_BIND_CONSTANT_BUFFER)
                                : UINT(D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS);
    d.CPUAccessFlags = 0;
    d.MiscFlags = desc.constant ? 0 : UINT(D3D11_RESOURCE_MISC_BUFFER_STRUCTURED);
    d.StructureByteStride = desc.stride;
    // A structured buffer without contents starts as zeros (see ZeroBlock). A constant buffer is
    // written before every pass that reads it and needs none: it is made again every frame.
    std::unique_ptr<ZeroBlock> zeros;
    if (!initialData && !desc.constant) {
        zeros = std::make_unique<ZeroBlock>(byteWidth);
        initialData = zeros->bytes;
    }
    D3D11_SUBRESOURCE_DATA data = {};
    data.pSysMem = initialData;
    ID3D11Buffer* buffer = nullptr;
    const HRESULT hr = device()->CreateBuffer(&d, initialData ? &data : nullptr, &buffer);
    noteCreation("CreateBuffer", hr, buffer, copy);
    return buffer;
}

void createBufferViews(ID3D11Buffer* buffer, UINT elements, ID3D11ShaderResourceView*& srv,
                       ID3D11UnorderedAccessView*& uav, const char* copy) {
    if (!buffer)
        return;
    D3D11_SHADER_RESOURCE_VIEW_DESC s = {};
    s.Format = DXGI_FORMAT_UNKNOWN;
    s.ViewDimension = D3D11_SRV_DIMENSION_BUFFER;
    s.Buffer.FirstElement = 0;
    s.Buffer.NumElements = elements;
    HRESULT hr = device()->CreateShaderResourceView(buffer, &s, &srv);
    noteCreation("CreateShaderResourceView", hr, srv, copy);

    D3D11_UNORDERED_ACCESS_VIEW_DESC u = {};
    u.Format = DXGI_FORMAT_UNKNOWN;
    u.ViewDimension = D3D11_UAV_DIMENSION_BUFFER;
    u.Buffer.FirstElement = 0;
    u.Buffer.NumElements = elements;
    u.Buffer.Flags = 0;
    hr = device()->CreateUnorderedAccessView(buffer, &u, &uav);
    noteCreation("CreateUnorderedAccessView", hr, uav, copy);
}

} // namespace

bool BufferRuntime::create() {
    bufferA = createBuffer(desc, desc.initialData, "copy A");
    if (desc.constant)
        return true;
    const UINT elements = elementCount(desc);
    createBufferViews(bufferA, elements, srvA, uavA, "copy A");
    if (doubleBuffered) {
        bufferB = createBuffer(desc, nullptr, "copy B");
        createBufferViews(bufferB, elements, srvB, uavB, "copy B");
    }
    return true;
}

bool BufferRuntime::release() {
    releaseAndClear(bufferA);
    releaseAndClear(bufferB);
    releaseAndClear(uavA);
    releaseAndClear(srvA);
    releaseAndClear(uavB);
    releaseAndClear(srvB);
    return true;
}

// ---------------------------------------------------------------------------------------
// Shaders

bool ShaderRuntime::create() {
    HRESULT hr = S_OK;
    // A stage without bytecode gets no shader, so its pass is skipped when executed.
    switch (desc.stageKind) {
    case Graphics:
        if (desc.vertexCode && desc.vertexCodeSize > 0) {
            hr = device()->CreateVertexShader(desc.vertexCode, desc.vertexCodeSize, nullptr,
                                              &vertexShader);
            noteCreation("CreateVertexShader", hr, vertexShader, "vertex shader");
        }
        if (desc.pixelCode && desc.pixelCodeSize > 0) {
            hr = device()->CreatePixelShader(desc.pixelCode, desc.pixelCodeSize, nullptr,
                                             &pixelShader);
            noteCreation("CreatePixelShader", hr, pixelShader, "pixel shader");
        }
        break;
    case Compute:
        if (desc.computeCode && desc.computeCodeSize > 0) {
            hr = device()->CreateComputeShader(desc.computeCode, desc.computeCodeSize, nullptr,
                                               &computeShader);
            noteCreation("CreateComputeShader", hr, computeShader, "compute shader");
        }
        break;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Pass execution

void uploadContextBuffer(const uint8_t* block, uint32_t blockSize) {
    FrameContext& fc = frameContext();
    // The recorded size is reset to the built-in block every frame, so the first upload of a
    // frame re-creates the buffer. The size the buffer really has is checked too: a block that
    // happens to match the recorded size but not the buffer must not be read past its end.
    if (fc.bufferDesc.stride != blockSize || fc.buffer.desc.stride != blockSize) {
        fc.bufferDesc.stride = blockSize;
        fc.bufferDesc.constant = 1;
        fc.buffer.release();
        fc.buffer.init(fc.bufferDesc, 0);
    }
    if (fc.buffer.bufferA)
        fc.context->UpdateSubresource(fc.buffer.bufferA, 0, nullptr, block, 0, 0);
}

void executeDrawPass(DrawPassRuntime& pass, const uint8_t* block, uint32_t blockSize) {
    const DrawPassDesc& desc = pass.desc;
    if (!pass.program.vertexShader || !pass.program.pixelShader)
        return;
    // The viewport comes from the first render target; without one there is nothing to draw.
    if (desc.renderTargets.empty() || !desc.renderTargets[0].texture)
        return;
    ID3D11DeviceContext* context = immediateContext();

    uploadContextBuffer(block, blockSize);

    const TextureDesc& first = desc.renderTargets[0].texture->desc;
    D3D11_VIEWPORT viewport = {};
    viewport.TopLeftX = 0.0f;
    viewport.TopLeftY = 0.0f;
    viewport.Width = float(first.width);
    viewport.Height = float(first.height);
    viewport.MinDepth = 0.0f;
    viewport.MaxDepth = 1.0f;
    context->RSSetViewports(1, &viewport);

    ID3D11RenderTargetView* targets[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT] = {};
    const size_t targetCount = desc.renderTargets.size() < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT
                                   ? desc.renderTargets.size()
                                   : D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT;
    for (size_t i = 0; i < targetCount; ++i) {
        TextureRuntime* texture = desc.renderTargets[i].texture;
        targets[i] = texture ? texture->getRtv(false) : nullptr;
        if (desc.clear == 1 && targets[i])
            context->ClearRenderTargetView(targets[i], desc.clearColor);
    }

    ID3D11DepthStencilView* dephView = nullptr;
    if (desc.depth == 1 && desc.depthTarget.texture) {
        dephView = desc.depthTarget.texture->getDsv();
        GFX_ASSERT(dephView);
        if (desc.clear == 1)
            context->ClearDepthStencilView(dephView, D3D11_CLEAR_DEPTH, 1.0f, 0);
    }
    context->OMSetRenderTargets(UINT(targetCount), targets, dephView);

    const D3D11_RASTERIZER_DESC rasterizerDesc = rasterizerDescription(desc.cullBack);
    ID3D11RasterizerState* rasterizer = nullptr;
    device()->CreateRasterizerState(&rasterizerDesc, &rasterizer);
    context->RSSetState(rasterizer);

    context->IASetPrimitiveTopology(primitiveTopology(desc.topology));

    const D3D11_BLEND_DESC blendDesc = blendDescription(desc.blend, desc.blendMode);
    ID3D11BlendState* blend = nullptr;
    device()->CreateBlendState(&blendDesc, &blend);
    context->OMSetBlendState(blend, nullptr, 0xFFFFFFFFu);

    ID3D11Buffer* constants = frameContext().buffer.bufferA;
    context->VSSetConstantBuffers(8, 1, &constants);
    context->PSSetConstantBuffers(8, 1, &constants);

    const UINT inputCount = srvSlotsUsed(desc.inputs.size());
    for (UINT i = 0; i < inputCount; ++i) {
        Resource* resource = desc.inputs[i].resource;
        if (!resource)
            continue;
        ID3D11ShaderResourceView* view = resource->getSrv(true);
        context->VSSetShaderResources(i, 1, &view);
        context->PSSetShaderResources(i, 1, &view);
    }

    context->VSSetShader(pass.program.vertexShader, nullptr, 0);
    context->PSSetShader(pass.program.pixelShader, nullptr, 0);
    context->DrawInstanced(desc.vertexCount, desc.instanceCount, 0, 0);

    context->VSSetShaderResources(0, inputCount, kNullSrvs);
    context->PSSetShaderResources(0, inputCount, kNullSrvs);
    context->VSSetShader(nullptr, nullptr, 0);
    context->PSSetShader(nullptr, nullptr, 0);

    releaseAndClear(rasterizer);
    releaseAndClear(blend);

    for (const RenderTargetBinding& target : desc.renderTargets)
        if (target.texture)
            target.texture->generateMips();
}

void executeComputePass(ComputePassRuntime& pass, const uint8_t* block, uint32_t blockSize) {
    const ComputePassDesc& desc = pass.desc;
    if (!pass.program.computeShader)
        return;
    ID3D11DeviceContext* context = immediateContext();

    uploadContextBuffer(block, blockSize);

    ID3D11Buffer* constants = frameContext().buffer.bufferA;
    context->CSSetConstantBuffers(8, 1, &constants);

    const UINT inputCount = srvSlotsUsed(desc.inputs.size());
    for (UINT i = 0; i < inputCount; ++i) {
        Resource* resource = desc.inputs[i].resource;
        if (!resource)
            continue;
        ID3D11ShaderResourceView* view = resource->getSrv(true);
        context->CSSetShaderResources(i, 1, &view);
    }
    // Output i sits after all inputs, at u(inputs + i), whether or not the inputs fit.
    const size_t firstOutput = desc.inputs.size();
    const UINT outputCount = uavSlotsUsed(firstOutput, desc.outputs.size());
    for (UINT i = 0; i < outputCount; ++i) {
        Resource* resource = desc.outputs[i].resource;
        if (!resource)
            continue;
        ID3D11UnorderedAccessView* view = resource->getUav(false);
        context->CSSetUnorderedAccessViews(UINT(firstOutput + i), 1, &view, nullptr);
    }

    context->CSSetShader(pass.program.computeShader, nullptr, 0);
    context->Dispatch(dispatchGroupCount(desc.threadsX), dispatchGroupCount(desc.threadsY),
                      dispatchGroupCount(desc.threadsZ));

    context->CSSetShaderResources(0, inputCount, kNullSrvs);
    if (outputCount > 0)
        context->CSSetUnorderedAccessViews(UINT(firstOutput), outputCount, kNullUavs, nullptr);
    context->CSSetShader(nullptr, nullptr, 0);

    for (const ResourceBinding& output : desc.outputs)
        if (output.kind == Texture && output.resource)
            output.resource->generateMips();
}

// ---------------------------------------------------------------------------------------
// The graph's frame

void GraphRuntime::finalize(float renderScale) {
    auto* presentation = new TextureRuntime();
    TextureDesc textureDesc;
    textureDesc.dimension = Tex2D;
    textureDesc.width = scaledExtent(kPresentationWidth, renderScale);
    textureDesc.height = scaledExtent(kPresentationHeight, renderScale);
    textureDesc.depth = 0;
    textureDesc.fixedSize = 0;
    textureDesc.scale = 1.0f;
    textureDesc.mipmaps = 0;
    textureDesc.format = FormatR16G16B16A16Float;
    textureDesc.reserved0 = 1;
    textureDesc.reserved1 = 1;
    presentation->init(textureDesc, 0);

    auto* copy = new DrawPassRuntime();
    DrawPassDesc passDesc;
    passDesc.clearColor[0] = 0.0f;
    passDesc.clearColor[1] = 0.0f;
    passDesc.clearColor[2] = 0.0f;
    passDesc.clearColor[3] = 1.0f;
    passDesc.clear = 1;
    passDesc.depth = 0;
    passDesc.cullBack = 0;
    passDesc.blend = 0;
    passDesc.blendMode = BlendAdditive;
    passDesc.topology = TopologyTriangleList;
    passDesc.vertexCount = 3;
    passDesc.instanceCount = 1;
    passDesc.runCondition = EveryFrame;
    const ShaderBytecode vertex = finalPassVertexShader();
    const ShaderBytecode pixel = finalPassPixelShader();
    passDesc.shader.vertexCode = vertex.code;
    passDesc.shader.vertexCodeSize = vertex.size;
    passDesc.shader.pixelCode = pixel.code;
    passDesc.shader.pixelCodeSize = pixel.size;
    passDesc.shader.computeCode = nullptr;
    passDesc.shader.computeCodeSize = 0;
    passDesc.renderTargets.push_back(RenderTargetBinding{presentation, 1});
    passDesc.inputs.push_back(ResourceBinding{Texture, output});
    copy->create(std::move(passDesc));

    passes.push_back(PassEntry{PassKind::Draw, copy, nullptr});
    output = presentation;
}

TextureRuntime* GraphRuntime::executeFrame() {
    runFrame(false);
    return output;
}

void GraphRuntime::executeStateFrame() {
    if (statePasses_.size() != passes.size())
        statePasses_ = passesCarryingState(*this);
    runFrame(true);
}

void GraphRuntime::runFrame(bool stateOnly) {
    frameParams.clearPacking();
    frameParams.set(params.list);

    const std::vector<uint8_t> block =
        buildUploadBlock(&frameContextData(), kContextDataSize, frameParams);
    const uint32_t blockSize = uint32_t(block.size());

    for (auto& node : resources)
        if (node.value)
            node.value->frameUpdate();

    for (std::size_t i = 0; i < passes.size(); ++i) {
        const PassEntry& entry = passes[i];
        if (stateOnly && !statePasses_[i])
            continue;
        const bool draw = entry.kind == PassKind::Draw && entry.draw &&
                          runConditionHolds(entry.draw->desc.runCondition, firstFrame);
        const bool compute = entry.kind == PassKind::Compute && entry.compute &&
                             runConditionHolds(entry.compute->desc.runCondition, firstFrame);
        if (!draw && !compute)
            continue;
        if (passObserver)
            passObserver->passStarts(i);
        if (draw)
            executeDrawPass(*entry.draw, block.data(), blockSize);
        else
            executeComputePass(*entry.compute, block.data(), blockSize);
        if (passObserver)
            passObserver->passEnds(i);
    }

    for (auto& node : resources)
        if (node.value && node.value->doubleBuffered == 1)
            node.value->swapped = !node.value->swapped;

    lastFirstFrame_ = firstFrame;
    firstFrame = 0;
}

void GraphRuntime::restart() {
    const std::set<const Resource*> written = resourcesPassesWrite(*this);
    // Only the graph's own resources: the presentation texture, which draws into the window's
    // back buffer and holds nothing from frame to frame, is not among them.
    for (auto& node : resources) {
        Resource* r = node.value;
        if (!r)
            continue;
        if (written.count(r)) {
            r->release();
            r->create();
        }
        r->swapped = 0;
    }
    firstFrame = 1;
}

void GraphRuntime::rewindFrame() {
    for (auto& node : resources)
        if (node.value && node.value->doubleBuffered == 1)
            node.value->swapped = !node.value->swapped;
    firstFrame = lastFirstFrame_;
}

} // namespace Fennick::gfx
