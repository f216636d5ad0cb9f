// The Direct3D objects of the web layer: each holds its description, as GetDesc answers it,
// and the handle of the WebGPU object behind it (gpu_imports.h).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/linux/d3d11/com_object.h"
#include "platform/web/d3d11/wgsl_block.h"

namespace quavel::d3d11 {

class Device;

// What the layer knows about a buffer or texture, whatever its interface.
struct WebResource {
    virtual ~WebResource();

    D3D11_RESOURCE_DIMENSION dimension = D3D11_RESOURCE_DIMENSION_UNKNOWN;
    D3D11_USAGE usage = D3D11_USAGE_DEFAULT;
    UINT bindFlags = 0;
    uint32_t handle = 0;
    // CPU memory between Map and Unmap.
    std::vector<uint8_t> shadow;
    bool mapped = false;
    bool mappedForWrite = false;

    UINT byteWidth = 0;                       // buffers
    DXGI_FORMAT format = DXGI_FORMAT_UNKNOWN; // textures
    UINT bytesPerTexel = 0;
    UINT width = 1;
    UINT height = 1;
    UINT levels = 1;

    bool isBuffer() const { return dimension == D3D11_RESOURCE_DIMENSION_BUFFER; }
    UINT levelWidth(UINT level) const { return width >> level ? width >> level : 1; }
    UINT levelHeight(UINT level) const { return height >> level ? height >> level : 1; }
};

// The resource behind any ID3D11Resource this layer made; null for others.
WebResource* webResource(ID3D11Resource* resource);

class Buffer final : public DeviceChildObject<ID3D11Buffer>, public WebResource {
public:
    Buffer(Device& device, const D3D11_BUFFER_DESC& desc)
        : DeviceChildObject(device), desc_(desc) {}
    void GetType(D3D11_RESOURCE_DIMENSION* dimension) override {
        *dimension = D3D11_RESOURCE_DIMENSION_BUFFER;
    }
    void GetDesc(D3D11_BUFFER_DESC* desc) override { *desc = desc_; }

private:
    D3D11_BUFFER_DESC desc_;
};

class Texture2D final : public DeviceChildObject<ID3D11Texture2D>, public WebResource {
public:
    Texture2D(Device& device, const D3D11_TEXTURE2D_DESC& desc)
        : DeviceChildObject(device), desc_(desc) {}
    void GetType(D3D11_RESOURCE_DIMENSION* dimension) override {
        *dimension = D3D11_RESOURCE_DIMENSION_TEXTURE2D;
    }
    void GetDesc(D3D11_TEXTURE2D_DESC* desc) override { *desc = desc_; }

private:
    D3D11_TEXTURE2D_DESC desc_;
};

// A view: its resource (held) and the mip level it starts at.
struct WebView {
    Ref<ID3D11Resource> resource;
    WebResource* target = nullptr;
    UINT level = 0;
};

template <class Interface, class Desc>
class View final : public DeviceChildObject<Interface>, public WebView {
public:
    View(Device& device, ID3D11Resource* resource, const Desc& desc, UINT level)
        : DeviceChildObject<Interface>(device), desc_(desc) {
        this->resource = Ref<ID3D11Resource>(resource);
        target = webResource(resource);
        this->level = level;
    }
    void GetResource(ID3D11Resource** out) override {
        *out = resource.get();
        (*out)->AddRef();
    }
    void GetDesc(Desc* desc) override { *desc = desc_; }

private:
    Desc desc_;
};
using ShaderResourceView = View<ID3D11ShaderResourceView, D3D11_SHADER_RESOURCE_VIEW_DESC>;
using UnorderedAccessView = View<ID3D11UnorderedAccessView, D3D11_UNORDERED_ACCESS_VIEW_DESC>;
using RenderTargetView = View<ID3D11RenderTargetView, D3D11_RENDER_TARGET_VIEW_DESC>;
using DepthStencilView = View<ID3D11DepthStencilView, D3D11_DEPTH_STENCIL_VIEW_DESC>;

// The view behind any view interface this layer made; null for others.
WebView* webView(ID3D11View* view);

// Shaders, states and samplers: a handle and, for GetDesc, the description.
struct WebHandle {
    virtual ~WebHandle();
    uint32_t handle = 0;
};

template <class Interface>
class Shader final : public DeviceChildObject<Interface>, public WebHandle {
public:
    using DeviceChildObject<Interface>::DeviceChildObject;
};
using VertexShader = Shader<ID3D11VertexShader>;
using PixelShader = Shader<ID3D11PixelShader>;
using ComputeShader = Shader<ID3D11ComputeShader>;

template <class Interface, class Desc>
class State final : public DeviceChildObject<Interface>, public WebHandle {
public:
    State(Device& device, const Desc& desc) : DeviceChildObject<Interface>(device), desc_(desc) {}
    void GetDesc(Desc* desc) override { *desc = desc_; }

private:
    Desc desc_;
};
using BlendState = State<ID3D11BlendState, D3D11_BLEND_DESC>;
using RasterizerState = State<ID3D11RasterizerState, D3D11_RASTERIZER_DESC>;
using SamplerState = State<ID3D11SamplerState, D3D11_SAMPLER_DESC>;

// The handle behind a shader, state or sampler this layer made; 0 for null or others.
uint32_t handleOf(IUnknown* object);

// Bytes per texel of the formats WebGPU has a texture format for (web/gpu/d3d_tables.js
// names them); 0 for the others.
UINT bytesPerTexel(DXGI_FORMAT format);

} // namespace quavel::d3d11
