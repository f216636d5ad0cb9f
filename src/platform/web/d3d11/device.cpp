#include "platform/web/d3d11/device.h"

#include <algorithm>

#include "platform/web/d3d11/device_context.h"
#include "platform/web/d3d11/gpu_imports.h"
#include "platform/web/d3d11/objects.h"
#include "platform/web/d3d11/refusals.h"

namespace quavel::d3d11 {
namespace {

UINT fullChain(UINT width, UINT height) {
    UINT levels = 1;
    while ((std::max(width, height) >> levels) != 0) {
        ++levels;
    }
    return levels;
}

// Gives the new object to the caller, or releases it when the caller asked only whether the
// call would succeed (a null out pointer).
template <class Interface, class Object> HRESULT giveOut(Object* object, Interface** out) {
    if (out != nullptr) {
        *out = object;
    } else {
        object->Release();
    }
    return S_OK;
}

HRESULT createProgram(const char* call, ShaderStage stage, const void* bytecode, SIZE_T length,
                      uint32_t& handle) {
    quavel::web::WgslBlock block;
    if (bytecode == nullptr || !quavel::web::decodeWgslBlock(bytecode, length, block)) {
        return refuse(call, "the bytecode is not a WGSL block of this build");
    }
    if (block.stage != stage) {
        return refuse(call, "the block is of another stage");
    }
    handle = quavelGpuProgramCreate(bytecode, static_cast<uint32_t>(length));
    return handle != 0 ? S_OK : refuse(call, "WebGPU did not take the program");
}

} // namespace

Device::Device() : context_(std::make_unique<DeviceContext>(*this)) {}

Device::~Device() = default;

void Device::GetImmediateContext(ID3D11DeviceContext** context) {
    if (context != nullptr) {
        *context = context_.get();
        (*context)->AddRef();
    }
}

HRESULT Device::CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                             ID3D11Buffer** out) {
    if (desc == nullptr || desc->ByteWidth == 0) {
        return refuse("CreateBuffer", "ByteWidth: a buffer has at least one byte");
    }
    if ((desc->BindFlags & D3D11_BIND_CONSTANT_BUFFER) && desc->ByteWidth % 16 != 0) {
        return refuse("CreateBuffer", "ByteWidth: a constant buffer is a multiple of 16 bytes");
    }
    auto* buffer = new Buffer(*this, *desc);
    buffer->dimension = D3D11_RESOURCE_DIMENSION_BUFFER;
    buffer->usage = desc->Usage;
    buffer->bindFlags = desc->BindFlags;
    buffer->byteWidth = desc->ByteWidth;
    buffer->handle = quavelGpuBufferCreate(desc->ByteWidth, desc->BindFlags);
    if (buffer->handle == 0) {
        buffer->Release();
        return E_OUTOFMEMORY;
    }
    if (data != nullptr && data->pSysMem != nullptr) {
        quavelGpuBufferWrite(buffer->handle, 0, data->pSysMem, desc->ByteWidth);
    }
    return giveOut(static_cast<ID3D11Buffer*>(buffer), out);
}

HRESULT Device::CreateTexture1D(const D3D11_TEXTURE1D_DESC*, const D3D11_SUBRESOURCE_DATA*,
                                ID3D11Texture1D**) {
    return refuse("CreateTexture1D", "the web layer makes 2D textures only");
}

HRESULT Device::CreateTexture3D(const D3D11_TEXTURE3D_DESC*, const D3D11_SUBRESOURCE_DATA*,
                                ID3D11Texture3D**) {
    return refuse("CreateTexture3D", "the web layer makes 2D textures only");
}

HRESULT Device::CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc,
                                const D3D11_SUBRESOURCE_DATA* data, ID3D11Texture2D** out) {
    if (desc == nullptr || desc->Width == 0 || desc->Height == 0 ||
        desc->Width > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION ||
        desc->Height > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION) {
        return refuse("CreateTexture2D", "Width, Height: 1 to 16384");
    }
    if (desc->ArraySize != 1 || desc->SampleDesc.Count != 1) {
        return refuse("CreateTexture2D", "ArraySize, SampleDesc: one slice, one sample");
    }
    const UINT texel = bytesPerTexel(desc->Format);
    if (texel == 0) {
        return refuse("CreateTexture2D", "Format: no WebGPU texture format for it");
    }
    const UINT chain = fullChain(desc->Width, desc->Height);
    if (desc->MipLevels > chain) {
        return refuse("CreateTexture2D", "MipLevels: more than the full chain");
    }
    D3D11_TEXTURE2D_DESC effective = *desc;
    effective.MipLevels = desc->MipLevels == 0 ? chain : desc->MipLevels;
    auto* texture = new Texture2D(*this, effective);
    texture->dimension = D3D11_RESOURCE_DIMENSION_TEXTURE2D;
    texture->usage = desc->Usage;
    texture->bindFlags = desc->BindFlags;
    texture->format = desc->Format;
    texture->bytesPerTexel = texel;
    texture->width = desc->Width;
    texture->height = desc->Height;
    texture->levels = effective.MipLevels;
    texture->handle = quavelGpuTextureCreate(desc->Width, desc->Height, texture->levels,
                                             desc->Format, desc->BindFlags);
    if (texture->handle == 0) {
        texture->Release();
        return E_OUTOFMEMORY;
    }
    if (data != nullptr) {
        for (UINT level = 0; level < texture->levels; ++level) {
            if (data[level].pSysMem != nullptr) {
                quavelGpuTextureWrite(texture->handle, level, 0, 0, texture->levelWidth(level),
                                      texture->levelHeight(level), data[level].pSysMem,
                                      data[level].SysMemPitch);
            }
        }
    }
    return giveOut(static_cast<ID3D11Texture2D*>(texture), out);
}

namespace {

// The level a view starts at, or false when the view is of a kind the layer cannot bind.
template <class Desc>
bool viewLevel(WebResource* target, const Desc* desc, UINT bufferDimension, UINT textureDimension,
               UINT& level, const char*& rule) {
    level = 0;
    if (target == nullptr) {
        rule = "the resource is not one of this device's";
        return false;
    }
    if (desc == nullptr) {
        return true;
    }
    if (target->isBuffer()) {
        if (static_cast<UINT>(desc->ViewDimension) != bufferDimension ||
            desc->Buffer.FirstElement != 0) {
            rule = "a buffer is seen whole, from its first element";
            return false;
        }
        return true;
    }
    if (static_cast<UINT>(desc->ViewDimension) != textureDimension) {
        rule = "ViewDimension: a 2D texture is seen as one";
        return false;
    }
    return true;
}

} // namespace

HRESULT Device::CreateShaderResourceView(ID3D11Resource* resource,
                                         const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                         ID3D11ShaderResourceView** out) {
    WebResource* target = webResource(resource);
    UINT level = 0;
    const char* rule = "";
    if (!viewLevel(target, desc, D3D11_SRV_DIMENSION_BUFFER, D3D11_SRV_DIMENSION_TEXTURE2D, level,
                   rule)) {
        return refuse("CreateShaderResourceView", rule);
    }
    if (!target->isBuffer() && desc != nullptr && desc->Texture2D.MostDetailedMip != 0) {
        return refuse("CreateShaderResourceView", "MostDetailedMip: views start at level 0");
    }
    if (!(target->bindFlags & D3D11_BIND_SHADER_RESOURCE)) {
        return refuse("CreateShaderResourceView", "the resource has no SHADER_RESOURCE bind flag");
    }
    D3D11_SHADER_RESOURCE_VIEW_DESC d = {};
    if (desc != nullptr) {
        d = *desc;
    } else if (target->isBuffer()) {
        d.ViewDimension = D3D11_SRV_DIMENSION_BUFFER;
    } else {
        d.Format = target->format;
        d.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
        d.Texture2D.MipLevels = target->levels;
    }
    return giveOut(
        static_cast<ID3D11ShaderResourceView*>(new ShaderResourceView(*this, resource, d, 0)), out);
}

HRESULT Device::CreateUnorderedAccessView(ID3D11Resource* resource,
                                          const D3D11_UNORDERED_ACCESS_VIEW_DESC* desc,
                                          ID3D11UnorderedAccessView** out) {
    WebResource* target = webResource(resource);
    UINT level = 0;
    const char* rule = "";
    if (!viewLevel(target, desc, D3D11_UAV_DIMENSION_BUFFER, D3D11_UAV_DIMENSION_TEXTURE2D, level,
                   rule)) {
        return refuse("CreateUnorderedAccessView", rule);
    }
    if (!(target->bindFlags & D3D11_BIND_UNORDERED_ACCESS)) {
        return refuse("CreateUnorderedAccessView",
                      "the resource has no UNORDERED_ACCESS bind flag");
    }
    D3D11_UNORDERED_ACCESS_VIEW_DESC d = {};
    if (desc != nullptr) {
        d = *desc;
        level = target->isBuffer() ? 0 : desc->Texture2D.MipSlice;
    } else {
        d.ViewDimension =
            target->isBuffer() ? D3D11_UAV_DIMENSION_BUFFER : D3D11_UAV_DIMENSION_TEXTURE2D;
        d.Format = target->format;
    }
    return giveOut(
        static_cast<ID3D11UnorderedAccessView*>(new UnorderedAccessView(*this, resource, d, level)),
        out);
}

HRESULT Device::CreateRenderTargetView(ID3D11Resource* resource,
                                       const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                       ID3D11RenderTargetView** out) {
    WebResource* target = webResource(resource);
    if (target == nullptr || target->isBuffer() ||
        !(target->bindFlags & D3D11_BIND_RENDER_TARGET)) {
        return refuse("CreateRenderTargetView", "a texture with the RENDER_TARGET bind flag");
    }
    D3D11_RENDER_TARGET_VIEW_DESC d = {};
    d.Format = target->format;
    d.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
    if (desc != nullptr) {
        if (desc->ViewDimension != D3D11_RTV_DIMENSION_TEXTURE2D ||
            desc->Texture2D.MipSlice >= target->levels) {
            return refuse("CreateRenderTargetView", "a level of a 2D texture");
        }
        d = *desc;
    }
    return giveOut(static_cast<ID3D11RenderTargetView*>(
                       new RenderTargetView(*this, resource, d, d.Texture2D.MipSlice)),
                   out);
}

HRESULT Device::CreateDepthStencilView(ID3D11Resource* resource,
                                       const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                       ID3D11DepthStencilView** out) {
    WebResource* target = webResource(resource);
    if (target == nullptr || target->isBuffer() ||
        !(target->bindFlags & D3D11_BIND_DEPTH_STENCIL)) {
        return refuse("CreateDepthStencilView", "a texture with the DEPTH_STENCIL bind flag");
    }
    D3D11_DEPTH_STENCIL_VIEW_DESC d = {};
    d.Format = target->format;
    d.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
    if (desc != nullptr) {
        if (desc->ViewDimension != D3D11_DSV_DIMENSION_TEXTURE2D || desc->Texture2D.MipSlice != 0) {
            return refuse("CreateDepthStencilView", "level 0 of a 2D texture");
        }
        d = *desc;
    }
    return giveOut(
        static_cast<ID3D11DepthStencilView*>(new DepthStencilView(*this, resource, d, 0)), out);
}

HRESULT Device::CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage*,
                                   ID3D11VertexShader** out) {
    uint32_t handle = 0;
    if (HRESULT hr =
            createProgram("CreateVertexShader", ShaderStage::Vertex, bytecode, length, handle);
        FAILED(hr)) {
        return hr;
    }
    auto* shader = new VertexShader(*this);
    shader->handle = handle;
    return giveOut(static_cast<ID3D11VertexShader*>(shader), out);
}

HRESULT Device::CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage*,
                                  ID3D11PixelShader** out) {
    uint32_t handle = 0;
    if (HRESULT hr =
            createProgram("CreatePixelShader", ShaderStage::Pixel, bytecode, length, handle);
        FAILED(hr)) {
        return hr;
    }
    auto* shader = new PixelShader(*this);
    shader->handle = handle;
    return giveOut(static_cast<ID3D11PixelShader*>(shader), out);
}

HRESULT Device::CreateComputeShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage*,
                                    ID3D11ComputeShader** out) {
    uint32_t handle = 0;
    if (HRESULT hr =
            createProgram("CreateComputeShader", ShaderStage::Compute, bytecode, length, handle);
        FAILED(hr)) {
        return hr;
    }
    auto* shader = new ComputeShader(*this);
    shader->handle = handle;
    return giveOut(static_cast<ID3D11ComputeShader*>(shader), out);
}

HRESULT Device::CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** out) {
    if (desc == nullptr) {
        return refuse("CreateBlendState", "no description");
    }
    auto* state = new BlendState(*this, *desc);
    state->handle = quavelGpuBlendStateCreate(desc);
    if (state->handle == 0) {
        state->Release();
        return refuse("CreateBlendState", "a blend factor or operation WebGPU does not have");
    }
    return giveOut(static_cast<ID3D11BlendState*>(state), out);
}

HRESULT Device::CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc,
                                      ID3D11RasterizerState** out) {
    if (desc == nullptr) {
        return refuse("CreateRasterizerState", "no description");
    }
    if (desc->FillMode != D3D11_FILL_SOLID || desc->ScissorEnable || desc->DepthBias != 0 ||
        desc->SlopeScaledDepthBias != 0.0f) {
        return refuse("CreateRasterizerState",
                      "solid fill without scissor or depth bias is what the web layer draws");
    }
    auto* state = new RasterizerState(*this, *desc);
    state->handle = quavelGpuRasterizerStateCreate(desc);
    if (state->handle == 0) {
        state->Release();
        return refuse("CreateRasterizerState", "CullMode");
    }
    return giveOut(static_cast<ID3D11RasterizerState*>(state), out);
}

HRESULT Device::CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** out) {
    if (desc == nullptr) {
        return refuse("CreateSamplerState", "no description");
    }
    auto* state = new SamplerState(*this, *desc);
    state->handle = quavelGpuSamplerCreate(desc);
    if (state->handle == 0) {
        state->Release();
        return refuse("CreateSamplerState", "a filter or address mode WebGPU does not have");
    }
    return giveOut(static_cast<ID3D11SamplerState*>(state), out);
}

HRESULT Device::CreateQuery(const D3D11_QUERY_DESC*, ID3D11Query**) {
    return refuse("CreateQuery", "the web layer has no queries");
}

} // namespace quavel::d3d11
