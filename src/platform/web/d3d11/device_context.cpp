#include "platform/web/d3d11/device_context.h"

#include <algorithm>
#include <cstring>

#include "platform/web/d3d11/device.h"
#include "platform/web/d3d11/gpu_imports.h"
#include "platform/web/d3d11/objects.h"
#include "platform/web/d3d11/refusals.h"

namespace quavel::d3d11 {
namespace {

WebResource* resourceOf(ID3D11View* view) {
    WebView* web = view != nullptr ? webView(view) : nullptr;
    return web != nullptr ? web->target : nullptr;
}

} // namespace

DeviceContext::DeviceContext(Device& device) : device_(device) {}

DeviceContext::~DeviceContext() = default;

HRESULT DeviceContext::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (id == __uuidof(ID3D11DeviceContext) || id == __uuidof(ID3D11DeviceChild) ||
        id == __uuidof(IUnknown)) {
        AddRef();
        *object = static_cast<ID3D11DeviceContext*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DeviceContext::AddRef() {
    return device_.AddRef();
}

ULONG DeviceContext::Release() {
    return device_.Release();
}

void DeviceContext::GetDevice(ID3D11Device** device) {
    if (device != nullptr) {
        *device = &device_;
        device_.AddRef();
    }
}

// ---------------------------------------------------------------------------------------
// Bindings

void DeviceContext::setConstantBuffers(Stage stage, UINT start, UINT count,
                                       ID3D11Buffer* const* buffers) {
    assignRange(stages_[stage].constantBuffers, start, count, buffers);
}

void DeviceContext::setResources(Stage stage, UINT start, UINT count,
                                 ID3D11ShaderResourceView* const* views) {
    for (UINT i = 0; i < count && start + i < D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT; ++i) {
        ID3D11ShaderResourceView* view = views != nullptr ? views[i] : nullptr;
        // As Direct3D does: a resource still bound as an output is bound as null.
        if (view != nullptr && boundAsOutput(resourceOf(view))) {
            dropCall("SetShaderResources", "the resource is bound as an output; bound as null");
            view = nullptr;
        }
        stages_[stage].resources[start + i] = Ref<ID3D11ShaderResourceView>(view);
    }
}

bool DeviceContext::boundAsOutput(const WebResource* resource) const {
    if (resource == nullptr) {
        return false;
    }
    for (const auto& target : renderTargets_) {
        if (resourceOf(target.get()) == resource) {
            return true;
        }
    }
    for (const auto& view : unorderedAccess_) {
        if (resourceOf(view.get()) == resource) {
            return true;
        }
    }
    return resourceOf(depthStencil_.get()) == resource;
}

void DeviceContext::unbindFromInputs(const WebResource* resource) {
    if (resource == nullptr) {
        return;
    }
    for (StageBindings& stage : stages_) {
        for (auto& slot : stage.resources) {
            if (resourceOf(slot.get()) == resource) {
                slot = Ref<ID3D11ShaderResourceView>();
            }
        }
    }
}

void DeviceContext::CSSetUnorderedAccessViews(UINT start, UINT count,
                                              ID3D11UnorderedAccessView* const* views,
                                              const UINT*) {
    for (UINT i = 0; i < count && start + i < D3D11_PS_CS_UAV_REGISTER_COUNT; ++i) {
        ID3D11UnorderedAccessView* view = views != nullptr ? views[i] : nullptr;
        unbindFromInputs(resourceOf(view));
        unorderedAccess_[start + i] = Ref<ID3D11UnorderedAccessView>(view);
    }
}

void DeviceContext::IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY topology) {
    topology_ = topology;
}

void DeviceContext::RSSetState(ID3D11RasterizerState* state) {
    rasterizer_ = Ref<ID3D11RasterizerState>(state);
}

void DeviceContext::RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports) {
    hasViewport_ = count > 0 && viewports != nullptr;
    if (hasViewport_) {
        viewport_ = viewports[0];
    }
}

void DeviceContext::OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views,
                                       ID3D11DepthStencilView* depth) {
    for (UINT i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) {
        ID3D11RenderTargetView* view = i < count && views != nullptr ? views[i] : nullptr;
        unbindFromInputs(resourceOf(view));
        renderTargets_[i] = Ref<ID3D11RenderTargetView>(view);
    }
    unbindFromInputs(resourceOf(depth));
    depthStencil_ = Ref<ID3D11DepthStencilView>(depth);
}

void DeviceContext::OMSetBlendState(ID3D11BlendState* state, const FLOAT factor[4], UINT) {
    blend_ = Ref<ID3D11BlendState>(state);
    static const FLOAT ones[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    std::memcpy(blendFactor_, factor != nullptr ? factor : ones, sizeof blendFactor_);
}

void DeviceContext::ClearState() {
    for (StageBindings& stage : stages_) {
        stage = StageBindings();
    }
    vertexShader_ = {};
    pixelShader_ = {};
    computeShader_ = {};
    for (auto& view : unorderedAccess_) {
        view = {};
    }
    for (auto& view : renderTargets_) {
        view = {};
    }
    depthStencil_ = {};
    blend_ = {};
    rasterizer_ = {};
    topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;
    hasViewport_ = false;
    OMSetBlendState(nullptr, nullptr, 0xffffffffu);
}

// ---------------------------------------------------------------------------------------
// Draws and dispatches

void DeviceContext::fillRegisters(Stage stage, quavel::web::StageRegisters& registers) const {
    const StageBindings& bound = stages_[stage];
    for (size_t i = 0; i < std::size(registers.t); ++i) {
        const WebResource* resource = resourceOf(bound.resources[i].get());
        registers.t[i] = resource != nullptr ? resource->handle : 0;
    }
    for (size_t i = 0; i < std::size(registers.s); ++i) {
        registers.s[i] = handleOf(bound.samplers[i].get());
    }
    for (size_t i = 0; i < std::size(registers.b); ++i) {
        const WebResource* buffer = webResource(bound.constantBuffers[i].get());
        registers.b[i] = buffer != nullptr ? buffer->handle : 0;
    }
    for (size_t i = 0; i < std::size(registers.u); ++i) {
        const WebResource* resource =
            stage == ComputeStage ? resourceOf(unorderedAccess_[i].get()) : nullptr;
        registers.u[i] = resource != nullptr ? resource->handle : 0;
    }
}

void DeviceContext::Draw(UINT vertexCount, UINT startVertex) {
    DrawInstanced(vertexCount, 1, startVertex, 0);
}

void DeviceContext::DrawInstanced(UINT vertexCount, UINT instanceCount, UINT startVertex,
                                  UINT startInstance) {
    if (!vertexShader_ || !hasViewport_ || topology_ == D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED) {
        dropCall("Draw", "a vertex shader, a viewport and a topology are needed");
        return;
    }
    if (vertexCount == 0 || instanceCount == 0) {
        return;
    }
    quavel::web::DrawCommand& c = draw_;
    c.vertexProgram = handleOf(vertexShader_.get());
    c.pixelProgram = handleOf(pixelShader_.get());
    c.blendState = handleOf(blend_.get());
    c.rasterizerState = handleOf(rasterizer_.get());
    c.topology = topology_;
    c.targetCount = 0;
    for (UINT i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) {
        WebView* view = renderTargets_[i] ? webView(renderTargets_[i].get()) : nullptr;
        c.targets[i] = view != nullptr ? view->target->handle : 0;
        c.targetLevels[i] = view != nullptr ? view->level : 0;
        if (view != nullptr) {
            c.targetCount = i + 1;
        }
    }
    const WebResource* depth = resourceOf(depthStencil_.get());
    c.depthTarget = depth != nullptr ? depth->handle : 0;
    c.depthFormat = 0;
    const float viewport[6] = {viewport_.TopLeftX, viewport_.TopLeftY, viewport_.Width,
                               viewport_.Height,   viewport_.MinDepth, viewport_.MaxDepth};
    std::memcpy(c.viewport, viewport, sizeof viewport);
    std::memcpy(c.blendFactor, blendFactor_, sizeof blendFactor_);
    c.vertexCount = vertexCount;
    c.instanceCount = instanceCount;
    c.startVertex = startVertex;
    c.startInstance = startInstance;
    fillRegisters(VertexStage, c.vertex);
    fillRegisters(PixelStage, c.pixel);
    quavelGpuDraw(&c);
}

void DeviceContext::Dispatch(UINT x, UINT y, UINT z) {
    if (!computeShader_) {
        dropCall("Dispatch", "no compute shader is bound");
        return;
    }
    if (x == 0 || y == 0 || z == 0) {
        return;
    }
    dispatch_.program = handleOf(computeShader_.get());
    dispatch_.x = x;
    dispatch_.y = y;
    dispatch_.z = z;
    fillRegisters(ComputeStage, dispatch_.compute);
    quavelGpuDispatch(&dispatch_);
}

// ---------------------------------------------------------------------------------------
// Clears and transfers

void DeviceContext::ClearRenderTargetView(ID3D11RenderTargetView* view, const FLOAT colour[4]) {
    WebView* target = view != nullptr ? webView(view) : nullptr;
    if (target != nullptr && colour != nullptr) {
        quavelGpuClearTarget(target->target->handle, target->level, colour);
    }
}

void DeviceContext::ClearDepthStencilView(ID3D11DepthStencilView* view, UINT flags, FLOAT depth,
                                          UINT8) {
    const WebResource* target = resourceOf(view);
    if (target != nullptr && (flags & D3D11_CLEAR_DEPTH)) {
        quavelGpuClearDepth(target->handle, depth);
    }
}

void DeviceContext::ClearUnorderedAccessViewUint(ID3D11UnorderedAccessView* view,
                                                 const UINT values[4]) {
    const WebResource* target = resourceOf(view);
    if (target == nullptr || !target->isBuffer() || values == nullptr) {
        dropCall("ClearUnorderedAccessViewUint", "buffers only");
        return;
    }
    // A buffer view's elements are 32-bit words: each takes the first value.
    std::vector<uint32_t> words(target->byteWidth / 4, values[0]);
    quavelGpuBufferWrite(target->handle, 0, words.data(), static_cast<uint32_t>(words.size() * 4));
}

void DeviceContext::ClearUnorderedAccessViewFloat(ID3D11UnorderedAccessView* view,
                                                  const FLOAT values[4]) {
    UINT bits[4];
    std::memcpy(bits, values, sizeof bits);
    ClearUnorderedAccessViewUint(view, bits);
}

void DeviceContext::GenerateMips(ID3D11ShaderResourceView* view) {
    const WebResource* target = resourceOf(view);
    if (target != nullptr && !target->isBuffer() && target->levels > 1) {
        quavelGpuGenerateMips(target->handle);
    }
}

void DeviceContext::UpdateSubresource(ID3D11Resource* resource, UINT subresource,
                                      const D3D11_BOX* box, const void* data, UINT rowPitch, UINT) {
    WebResource* target = webResource(resource);
    if (target == nullptr || data == nullptr) {
        return;
    }
    if (target->isBuffer()) {
        const UINT left = box != nullptr ? box->left : 0;
        const UINT right = box != nullptr ? box->right : target->byteWidth;
        if (left < right && right <= target->byteWidth) {
            quavelGpuBufferWrite(target->handle, left, data, right - left);
        }
        return;
    }
    if (subresource >= target->levels) {
        return;
    }
    const UINT width = target->levelWidth(subresource);
    const UINT height = target->levelHeight(subresource);
    D3D11_BOX whole = {0, 0, 0, width, height, 1};
    const D3D11_BOX& b = box != nullptr ? *box : whole;
    if (b.left >= b.right || b.top >= b.bottom || b.right > width || b.bottom > height) {
        return;
    }
    quavelGpuTextureWrite(target->handle, subresource, b.left, b.top, b.right - b.left,
                          b.bottom - b.top, data, rowPitch);
}

void DeviceContext::CopyResource(ID3D11Resource* destination, ID3D11Resource* source) {
    WebResource* to = webResource(destination);
    WebResource* from = webResource(source);
    if (to == nullptr || from == nullptr || to == from || to->isBuffer() != from->isBuffer()) {
        dropCall("CopyResource", "two resources of one kind");
        return;
    }
    if (to->isBuffer()) {
        quavelGpuCopyBuffer(to->handle, 0, from->handle, 0,
                            std::min(to->byteWidth, from->byteWidth));
        return;
    }
    if (to->width != from->width || to->height != from->height || to->levels != from->levels ||
        to->format != from->format) {
        dropCall("CopyResource", "textures of the same size, levels and format");
        return;
    }
    for (UINT level = 0; level < to->levels; ++level) {
        quavelGpuCopyTexture(to->handle, level, 0, 0, from->handle, level, 0, 0,
                             from->levelWidth(level), from->levelHeight(level));
    }
}

void DeviceContext::CopySubresourceRegion(ID3D11Resource* destination, UINT destinationLevel,
                                          UINT x, UINT y, UINT, ID3D11Resource* source,
                                          UINT sourceLevel, const D3D11_BOX* box) {
    WebResource* to = webResource(destination);
    WebResource* from = webResource(source);
    if (to == nullptr || from == nullptr || to->isBuffer() != from->isBuffer()) {
        dropCall("CopySubresourceRegion", "two resources of one kind");
        return;
    }
    if (to->isBuffer()) {
        const UINT left = box != nullptr ? box->left : 0;
        const UINT right = box != nullptr ? box->right : from->byteWidth;
        if (left < right && right <= from->byteWidth && x + (right - left) <= to->byteWidth) {
            quavelGpuCopyBuffer(to->handle, x, from->handle, left, right - left);
        }
        return;
    }
    if (destinationLevel >= to->levels || sourceLevel >= from->levels) {
        return;
    }
    const UINT width = from->levelWidth(sourceLevel);
    const UINT height = from->levelHeight(sourceLevel);
    D3D11_BOX whole = {0, 0, 0, width, height, 1};
    const D3D11_BOX& b = box != nullptr ? *box : whole;
    if (b.left >= b.right || b.top >= b.bottom || b.right > width || b.bottom > height ||
        x + (b.right - b.left) > to->levelWidth(destinationLevel) ||
        y + (b.bottom - b.top) > to->levelHeight(destinationLevel)) {
        dropCall("CopySubresourceRegion", "the region leaves a texture");
        return;
    }
    quavelGpuCopyTexture(to->handle, destinationLevel, x, y, from->handle, sourceLevel, b.left,
                         b.top, b.right - b.left, b.bottom - b.top);
}

HRESULT DeviceContext::Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP type, UINT,
                           D3D11_MAPPED_SUBRESOURCE* mapped) {
    WebResource* target = webResource(resource);
    if (target == nullptr || mapped == nullptr || target->mapped ||
        (target->usage != D3D11_USAGE_STAGING && target->usage != D3D11_USAGE_DYNAMIC) ||
        (!target->isBuffer() && subresource >= target->levels) ||
        (target->isBuffer() && subresource != 0)) {
        return refuse("Map", "a staging or dynamic resource, not mapped yet, one of its levels");
    }
    const bool reads = type == D3D11_MAP_READ || type == D3D11_MAP_READ_WRITE;
    if (reads && target->usage != D3D11_USAGE_STAGING) {
        return refuse("Map", "only staging resources are read");
    }
    if (target->isBuffer()) {
        target->shadow.assign(target->byteWidth, 0);
        mapped->RowPitch = mapped->DepthPitch = target->byteWidth;
        if (reads) {
            quavelGpuReadBuffer(target->handle, target->shadow.data(), target->byteWidth);
        }
    } else {
        const UINT rowPitch = target->levelWidth(subresource) * target->bytesPerTexel;
        target->shadow.assign(size_t(rowPitch) * target->levelHeight(subresource), 0);
        mapped->RowPitch = rowPitch;
        mapped->DepthPitch = static_cast<UINT>(target->shadow.size());
        if (reads) {
            quavelGpuReadTexture(target->handle, subresource, target->shadow.data(), rowPitch);
        }
    }
    target->mapped = true;
    target->mappedForWrite = type != D3D11_MAP_READ;
    mapped->pData = target->shadow.data();
    return S_OK;
}

void DeviceContext::Unmap(ID3D11Resource* resource, UINT subresource) {
    WebResource* target = webResource(resource);
    if (target == nullptr || !target->mapped) {
        return;
    }
    target->mapped = false;
    // What the CPU wrote goes to the GPU.
    if (!target->mappedForWrite) {
        target->shadow = {};
        return;
    }
    if (target->isBuffer()) {
        quavelGpuBufferWrite(target->handle, 0, target->shadow.data(), target->byteWidth);
    } else {
        quavelGpuTextureWrite(target->handle, subresource, 0, 0, target->levelWidth(subresource),
                              target->levelHeight(subresource), target->shadow.data(),
                              target->levelWidth(subresource) * target->bytesPerTexel);
    }
    target->shadow = {};
}

void DeviceContext::Begin(ID3D11Asynchronous*) {}
void DeviceContext::End(ID3D11Asynchronous*) {}
HRESULT DeviceContext::GetData(ID3D11Asynchronous*, void*, UINT, UINT) {
    return refuse("GetData", "the web layer has no queries");
}
void DeviceContext::Flush() {}

} // namespace quavel::d3d11
