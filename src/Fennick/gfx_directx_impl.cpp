// The engine's passes on the device: the upload of ContextBuffer before each pass, and the
// execution of a draw pass and of a compute pass (frame_execution.h). A missing depth view is
// the one result checked here, with an assertion that names this file.
#include <cstdio>
#include <cstdlib>

#include "Fennick/buffer_runtime.h"
#include "Fennick/device_access.h"
#include "Fennick/dispatch_groups.h"
#include "Fennick/frame_context.h"
#include "Fennick/frame_execution.h"
#include "Fennick/pipeline_state.h"
#include "Fennick/texture_runtime.h"

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

namespace {

// The draw pass's steps, in the order the device sees them.

// The whole of the first render target.
void setViewport(ID3D11DeviceContext* context, const TextureDesc& first) {
    D3D11_VIEWPORT viewport = {};
    viewport.TopLeftX = 0.0f;
    viewport.TopLeftY = 0.0f;
    viewport.Width = float(first.width);
    viewport.Height = float(first.height);
    viewport.MinDepth = 0.0f;
    viewport.MaxDepth = 1.0f;
    context->RSSetViewports(1, &viewport);
}

// The render targets and the depth target, cleared when the pass asks for it, then bound.
void bindTargets(ID3D11DeviceContext* context, const DrawPassDesc& desc) {
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
}

// The rasterizer and blend states the description selects, made for this one execution.
struct PassStates {
    ID3D11RasterizerState* rasterizer = nullptr;
    ID3D11BlendState* blend = nullptr;
};

PassStates setPipelineState(ID3D11DeviceContext* context, const DrawPassDesc& desc) {
    PassStates states;
    const D3D11_RASTERIZER_DESC rasterizerDesc = rasterizerDescription(desc.cullBack);
    device()->CreateRasterizerState(&rasterizerDesc, &states.rasterizer);
    context->RSSetState(states.rasterizer);

    context->IASetPrimitiveTopology(primitiveTopology(desc.topology));

    const D3D11_BLEND_DESC blendDesc = blendDescription(desc.blend, desc.blendMode);
    device()->CreateBlendState(&blendDesc, &states.blend);
    context->OMSetBlendState(states.blend, nullptr, 0xFFFFFFFFu);
    return states;
}

// ContextBuffer at b8 and input i at t(i) of both stages; returns the input slots bound.
UINT bindDrawInputs(ID3D11DeviceContext* context, const DrawPassDesc& desc) {
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
    return inputCount;
}

void draw(ID3D11DeviceContext* context, const DrawPassRuntime& pass) {
    context->VSSetShader(pass.program.vertexShader, nullptr, 0);
    context->PSSetShader(pass.program.pixelShader, nullptr, 0);
    context->DrawInstanced(pass.desc.vertexCount, pass.desc.instanceCount, 0, 0);
}

// The inputs and shaders unbound, so a later pass may write what this one read.
void unbindDraw(ID3D11DeviceContext* context, UINT inputCount) {
    context->VSSetShaderResources(0, inputCount, kNullSrvs);
    context->PSSetShaderResources(0, inputCount, kNullSrvs);
    context->VSSetShader(nullptr, nullptr, 0);
    context->PSSetShader(nullptr, nullptr, 0);
}

} // namespace

void executeDrawPass(DrawPassRuntime& pass, const uint8_t* block, uint32_t blockSize) {
    const DrawPassDesc& desc = pass.desc;
    if (!pass.program.vertexShader || !pass.program.pixelShader)
        return;
    // The viewport comes from the first render target; without one there is nothing to draw.
    if (desc.renderTargets.empty() || !desc.renderTargets[0].texture)
        return;
    ID3D11DeviceContext* context = immediateContext();

    uploadContextBuffer(block, blockSize);
    setViewport(context, desc.renderTargets[0].texture->desc);
    bindTargets(context, desc);
    PassStates states = setPipelineState(context, desc);
    const UINT inputCount = bindDrawInputs(context, desc);
    draw(context, pass);
    unbindDraw(context, inputCount);
    releaseAndClear(states.rasterizer);
    releaseAndClear(states.blend);

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

} // namespace Fennick::gfx
