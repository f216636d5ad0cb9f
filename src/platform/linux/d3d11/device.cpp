#include "platform/linux/d3d11/device.h"

#include "platform/linux/d3d11/device_context.h"
#include "platform/linux/d3d11/dxgi_adapter.h"
#include "platform/linux/d3d11/fill_rule.h"
#include "platform/linux/d3d11/queries.h"
#include "platform/linux/d3d11/refusals.h"
#include "platform/linux/d3d11/resources.h"
#include "platform/linux/d3d11/states.h"
#include "platform/linux/d3d11/views.h"

namespace quavel::d3d11 {

Device::Device(std::unique_ptr<GlContext> gl, D3D_FEATURE_LEVEL level)
    : gl_(std::move(gl)), level_(level) {
    makeCurrent();
    glGetIntegerv(GL_SHADER_STORAGE_BUFFER_OFFSET_ALIGNMENT, &limits_.storageBufferOffsetAlignment);
    if (limits_.storageBufferOffsetAlignment <= 0) {
        limits_.storageBufferOffsetAlignment = 256;
    }
    limits_.rasterStep = rasterStep();
    context_ = std::make_unique<DeviceContext>(*this);
}

Device::~Device() {
    makeCurrent();
    context_.reset();
    for (auto& entry : programs_) {
        deleteProgram(entry.second);
    }
}

ID3D11DeviceContext* Device::immediateContextInterface() {
    return context_.get();
}

HRESULT Device::CreateQuery(const D3D11_QUERY_DESC* desc, ID3D11Query** query) {
    if (desc == nullptr) {
        return refuse("CreateQuery", "no description");
    }
    if (!queryKindSupported(desc->Query)) {
        return refuse("CreateQuery", "only TIMESTAMP and TIMESTAMP_DISJOINT queries are supported");
    }
    if (query != nullptr) {
        *query = new Query(*this, *desc);
    }
    return S_OK;
}

HRESULT Device::QueryInterface(REFIID id, void** object) {
    if (object != nullptr && id == __uuidof(IDXGIDevice)) {
        *object = static_cast<IDXGIDevice*>(makeDxgiDevice(*this));
        return S_OK;
    }
    return ComObject<ID3D11Device>::QueryInterface(id, object);
}

void Device::GetImmediateContext(ID3D11DeviceContext** context) {
    if (context != nullptr) {
        *context = context_.get();
        (*context)->AddRef();
    }
}

const LinkedProgram& Device::graphicsProgram(const GlShader* vertex, const GlShader* pixel) {
    auto key = std::make_pair(vertex->serial, pixel ? pixel->serial : 0);
    auto found = programs_.find(key);
    if (found != programs_.end()) {
        return found->second;
    }
    std::vector<const GlShader*> stages = {vertex};
    if (pixel != nullptr) {
        stages.push_back(pixel);
    }
    LinkedProgram& linked = programs_[key];
    linked = linkProgram(stages);
    return linked;
}

void Device::forgetShader(uint64_t serial) {
    for (auto entry = programs_.begin(); entry != programs_.end();) {
        if (entry->first.first == serial || entry->first.second == serial) {
            deleteProgram(entry->second);
            entry = programs_.erase(entry);
        } else {
            ++entry;
        }
    }
}

HRESULT Device::CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                             ID3D11Buffer** buffer) {
    return createBuffer(*this, desc, data, buffer);
}

HRESULT Device::CreateTexture1D(const D3D11_TEXTURE1D_DESC* desc,
                                const D3D11_SUBRESOURCE_DATA* data, ID3D11Texture1D** texture) {
    return createTexture1D(*this, desc, data, texture);
}

HRESULT Device::CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc,
                                const D3D11_SUBRESOURCE_DATA* data, ID3D11Texture2D** texture) {
    return createTexture2D(*this, desc, data, texture);
}

HRESULT Device::CreateTexture3D(const D3D11_TEXTURE3D_DESC* desc,
                                const D3D11_SUBRESOURCE_DATA* data, ID3D11Texture3D** texture) {
    return createTexture3D(*this, desc, data, texture);
}

HRESULT Device::CreateShaderResourceView(ID3D11Resource* resource,
                                         const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                         ID3D11ShaderResourceView** view) {
    return createShaderResourceView(*this, resource, desc, view);
}

HRESULT Device::CreateUnorderedAccessView(ID3D11Resource* resource,
                                          const D3D11_UNORDERED_ACCESS_VIEW_DESC* desc,
                                          ID3D11UnorderedAccessView** view) {
    return createUnorderedAccessView(*this, resource, desc, view);
}

HRESULT Device::CreateRenderTargetView(ID3D11Resource* resource,
                                       const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                       ID3D11RenderTargetView** view) {
    return createRenderTargetView(*this, resource, desc, view);
}

HRESULT Device::CreateDepthStencilView(ID3D11Resource* resource,
                                       const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                       ID3D11DepthStencilView** view) {
    return createDepthStencilView(*this, resource, desc, view);
}

HRESULT Device::CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage*,
                                   ID3D11VertexShader** shader) {
    return createVertexShader(*this, bytecode, length, shader);
}

HRESULT Device::CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage*,
                                  ID3D11PixelShader** shader) {
    return createPixelShader(*this, bytecode, length, shader);
}

HRESULT Device::CreateComputeShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage*,
                                    ID3D11ComputeShader** shader) {
    return createComputeShader(*this, bytecode, length, shader);
}

HRESULT Device::CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state) {
    return createBlendState(*this, desc, state);
}

HRESULT Device::CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc,
                                      ID3D11RasterizerState** state) {
    return createRasterizerState(*this, desc, state);
}

HRESULT Device::CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) {
    return createSamplerState(*this, desc, state);
}

bool chooseFeatureLevel(const D3D_FEATURE_LEVEL* requested, UINT count, D3D_FEATURE_LEVEL& chosen) {
    static const D3D_FEATURE_LEVEL defaults[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                                 D3D_FEATURE_LEVEL_10_0};
    if (requested == nullptr || count == 0) {
        requested = defaults;
        count = 3;
    }
    for (UINT i = 0; i < count; ++i) {
        if (requested[i] <= D3D_FEATURE_LEVEL_11_0 && requested[i] >= D3D_FEATURE_LEVEL_9_1) {
            chosen = requested[i];
            return true;
        }
    }
    return false;
}

} // namespace quavel::d3d11
