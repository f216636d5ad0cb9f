// The device: creates every object; owns the immediate context. Its WebGPU device is the
// page's (web/gpu/gpu_device.js), opened before the module runs.
#pragma once

#include <memory>

#include "platform/linux/d3d11/com_object.h"

namespace quavel::d3d11 {

class DeviceContext;

class Device final : public ComObject<ID3D11Device> {
public:
    Device();
    ~Device() override;

    DeviceContext& immediateContext() { return *context_; }

    HRESULT CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                         ID3D11Buffer** buffer) override;
    HRESULT CreateTexture1D(const D3D11_TEXTURE1D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                            ID3D11Texture1D** texture) override;
    HRESULT CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                            ID3D11Texture2D** texture) override;
    HRESULT CreateTexture3D(const D3D11_TEXTURE3D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                            ID3D11Texture3D** texture) override;
    HRESULT CreateShaderResourceView(ID3D11Resource* resource,
                                     const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                     ID3D11ShaderResourceView** view) override;
    HRESULT CreateUnorderedAccessView(ID3D11Resource* resource,
                                      const D3D11_UNORDERED_ACCESS_VIEW_DESC* desc,
                                      ID3D11UnorderedAccessView** view) override;
    HRESULT CreateRenderTargetView(ID3D11Resource* resource,
                                   const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                   ID3D11RenderTargetView** view) override;
    HRESULT CreateDepthStencilView(ID3D11Resource* resource,
                                   const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                   ID3D11DepthStencilView** view) override;
    HRESULT CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                               ID3D11VertexShader** shader) override;
    HRESULT CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                              ID3D11PixelShader** shader) override;
    HRESULT CreateComputeShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                ID3D11ComputeShader** shader) override;
    HRESULT CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state) override;
    HRESULT CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc,
                                  ID3D11RasterizerState** state) override;
    HRESULT CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) override;
    HRESULT CreateQuery(const D3D11_QUERY_DESC* desc, ID3D11Query** query) override;
    D3D_FEATURE_LEVEL GetFeatureLevel() override { return D3D_FEATURE_LEVEL_11_0; }
    void GetImmediateContext(ID3D11DeviceContext** context) override;
    HRESULT GetDeviceRemovedReason() override { return S_OK; }

private:
    std::unique_ptr<DeviceContext> context_;
};

inline ID3D11Device* asInterface(Device* device) {
    return device;
}

} // namespace quavel::d3d11
