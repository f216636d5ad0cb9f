#include "platform/linux/d3d11/device_context.h"

#include <algorithm>

#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/queries.h"
#include "platform/linux/d3d11/refusals.h"
#include "platform/linux/d3d11/views.h"

namespace quavel::d3d11 {
namespace {

// Larger than any constant buffer (4096 constants of 16 bytes) and than the structured
// reads a shader makes of an empty slot in practice.
constexpr GLsizeiptr kZeroBufferBytes = 1 << 20;

template <class T, size_t N> void clearAll(Ref<T> (&slots)[N]) {
    for (Ref<T>& slot : slots) {
        slot = nullptr;
    }
}

} // namespace

DeviceContext::DeviceContext(Device& device) : device_(device) {
    device_.makeCurrent();
    // Direct3D's conventions: clip y = +1 and memory row 0 at the top, depth in [0, 1].
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    // Flat-interpolated outputs come from a primitive's first vertex, as in Direct3D.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glCreateVertexArrays(1, &vertexArray_);
    glCreateFramebuffers(1, &drawFramebuffer_);
    glCreateFramebuffers(1, &scratchFramebuffer_);
    // Stands in for unbound storage and constant buffers so that shaders read zeros, not
    // freed memory, however far into the buffer they index.
    glCreateBuffers(1, &zeroBuffer_);
    glNamedBufferStorage(zeroBuffer_, kZeroBufferBytes, nullptr, 0);
    // Unbound texture slots sample (0, 0, 0, 0); OpenGL's default texture gives alpha 1.
    const GLenum targets[3] = {GL_TEXTURE_1D, GL_TEXTURE_2D, GL_TEXTURE_3D};
    const unsigned char transparentBlack[4] = {0, 0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        glCreateTextures(targets[i], 1, &zeroTextures_[i]);
    }
    glTextureStorage1D(zeroTextures_[0], 1, GL_RGBA8, 1);
    glTextureStorage2D(zeroTextures_[1], 1, GL_RGBA8, 1, 1);
    glTextureStorage3D(zeroTextures_[2], 1, GL_RGBA8, 1, 1, 1);
    for (GLuint texture : zeroTextures_) {
        glClearTexImage(texture, 0, GL_RGBA, GL_UNSIGNED_BYTE, transparentBlack);
    }
}

DeviceContext::~DeviceContext() {
    device_.makeCurrent();
    glDeleteTextures(3, zeroTextures_);
    glDeleteBuffers(1, &zeroBuffer_);
    glDeleteFramebuffers(1, &scratchFramebuffer_);
    glDeleteFramebuffers(1, &drawFramebuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
}

HRESULT DeviceContext::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (!answersTo(static_cast<const ID3D11DeviceContext*>(this), id)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    *object = static_cast<ID3D11DeviceContext*>(this);
    return S_OK;
}

void DeviceContext::Begin(ID3D11Asynchronous* query) {
    if (auto* q = dynamic_cast<Query*>(query)) {
        q->begin();
    }
}

void DeviceContext::End(ID3D11Asynchronous* query) {
    if (auto* q = dynamic_cast<Query*>(query)) {
        q->end();
    }
}

HRESULT DeviceContext::GetData(ID3D11Asynchronous* query, void* data, UINT size, UINT flags) {
    auto* q = dynamic_cast<Query*>(query);
    return q != nullptr ? q->getData(data, size, flags) : DXGI_ERROR_INVALID_CALL;
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

bool DeviceContext::boundAsOutput(const GlResource* resource) const {
    if (resource == nullptr) {
        return false;
    }
    const GlView* depth = glView(depthStencil_.get());
    bool bound = depth != nullptr && depth->resource == resource;
    for (const auto& target : renderTargets_) {
        const GlView* view = glView(target.get());
        bound = bound || (view != nullptr && view->resource == resource);
    }
    for (const auto& output : unorderedAccess_) {
        const GlView* view = glView(output.get());
        bound = bound || (view != nullptr && view->resource == resource);
    }
    return bound;
}

void DeviceContext::unbindFromInputs(const GlResource* resource) {
    if (resource == nullptr) {
        return;
    }
    for (StageBindings& stage : stages_) {
        for (auto& slot : stage.resources) {
            const GlView* view = glView(slot.get());
            if (view != nullptr && view->resource == resource) {
                slot = nullptr;
            }
        }
        for (auto& slot : stage.constantBuffers) {
            if (slot && glResource(slot.get()) == resource) {
                slot = nullptr;
            }
        }
    }
}

void DeviceContext::setConstantBuffers(Stage stage, UINT start, UINT count,
                                       ID3D11Buffer* const* buffers) {
    assignRange(stages_[stage].constantBuffers, start, count, buffers);
    auto& slots = stages_[stage].constantBuffers;
    for (UINT i = start; i < start + count && i < std::size(slots); ++i) {
        if (slots[i] && boundAsOutput(glResource(slots[i].get()))) {
            dropCall("SetConstantBuffers",
                     "the buffer is bound as an output; the slot stays empty");
            slots[i] = nullptr;
        }
    }
}

void DeviceContext::setResources(Stage stage, UINT start, UINT count,
                                 ID3D11ShaderResourceView* const* views) {
    assignRange(stages_[stage].resources, start, count, views);
    auto& slots = stages_[stage].resources;
    for (UINT i = start; i < start + count && i < std::size(slots); ++i) {
        const GlView* view = glView(slots[i].get());
        if (view != nullptr && boundAsOutput(view->resource)) {
            dropCall("SetShaderResources",
                     "the resource is bound as an output; the slot stays empty");
            slots[i] = nullptr;
        }
    }
}

void DeviceContext::CSSetUnorderedAccessViews(UINT start, UINT count,
                                              ID3D11UnorderedAccessView* const* views,
                                              const UINT*) {
    assignRange(unorderedAccess_, start, count, views);
    for (UINT i = start; i < start + count && i < std::size(unorderedAccess_); ++i) {
        const GlView* view = glView(unorderedAccess_[i].get());
        unbindFromInputs(view ? view->resource : nullptr);
    }
}

void DeviceContext::IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY topology) {
    topology_ = topology;
}

void DeviceContext::RSSetState(ID3D11RasterizerState* state) {
    rasterizer_ = state;
}

void DeviceContext::RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports) {
    const UINT capacity = D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE;
    if (count > capacity || (count > 0 && viewports == nullptr)) {
        return;
    }
    for (UINT i = 0; i < count; ++i) {
        viewports_[i] = viewports[i];
    }
    viewportCount_ = count;
}

void DeviceContext::OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views,
                                       ID3D11DepthStencilView* depth) {
    if (count > D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT) {
        return;
    }
    clearAll(renderTargets_);
    assignRange(renderTargets_, 0, count, views);
    depthStencil_ = depth;
    for (const auto& target : renderTargets_) {
        const GlView* view = glView(target.get());
        unbindFromInputs(view ? view->resource : nullptr);
    }
    const GlView* depthView = glView(depthStencil_.get());
    unbindFromInputs(depthView ? depthView->resource : nullptr);
}

void DeviceContext::OMSetBlendState(ID3D11BlendState* state, const FLOAT factor[4],
                                    UINT sampleMask) {
    blend_ = state;
    for (int i = 0; i < 4; ++i) {
        blendFactor_[i] = factor ? factor[i] : 1.0f;
    }
    sampleMask_ = sampleMask;
}

void DeviceContext::ClearState() {
    for (StageBindings& stage : stages_) {
        clearAll(stage.constantBuffers);
        clearAll(stage.resources);
        clearAll(stage.samplers);
    }
    vertexShader_ = nullptr;
    pixelShader_ = nullptr;
    computeShader_ = nullptr;
    clearAll(unorderedAccess_);
    topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;
    rasterizer_ = nullptr;
    viewportCount_ = 0;
    clearAll(renderTargets_);
    depthStencil_ = nullptr;
    blend_ = nullptr;
    for (FLOAT& value : blendFactor_) {
        value = 1.0f;
    }
    sampleMask_ = 0xffffffffu;
}

void DeviceContext::Flush() {
    device_.makeCurrent();
    glFlush();
}

} // namespace quavel::d3d11
