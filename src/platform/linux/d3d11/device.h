// The device: creates every object, owns the OpenGL context, the immediate context and the
// programs linked from vertex and pixel shader pairs.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "platform/linux/d3d11/com_object.h"
#include "platform/linux/d3d11/gl_context.h"
#include "platform/linux/d3d11/shaders.h"

namespace quavel::d3d11 {

class DeviceContext;

struct DeviceLimits {
    GLint storageBufferOffsetAlignment = 256;
    // How far viewports are moved up and pixel inputs read back down (fill_rule.h).
    float rasterStep = 1.0f / 256.0f;
};

class Device final : public ComObject<ID3D11Device> {
public:
    Device(std::unique_ptr<GlContext> gl, D3D_FEATURE_LEVEL level);
    ~Device() override;

    void makeCurrent() { gl_->makeCurrent(); }
    GlContext& gl() { return *gl_; }
    const DeviceLimits& limits() const { return limits_; }
    DeviceContext& immediateContext() { return *context_; }
    ID3D11DeviceContext* immediateContextInterface();

    // The program of a vertex and pixel shader pair (pixel may be null), linked on first use;
    // program 0 when they do not link.
    const LinkedProgram& graphicsProgram(const GlShader* vertex, const GlShader* pixel);
    // Drops the programs a destroyed shader took part in.
    void forgetShader(uint64_t serial);

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
    D3D_FEATURE_LEVEL GetFeatureLevel() override { return level_; }
    // The device also answers to IDXGIDevice, as a Direct3D device does.
    HRESULT QueryInterface(REFIID id, void** object) override;
    void GetImmediateContext(ID3D11DeviceContext** context) override;
    HRESULT GetDeviceRemovedReason() override { return removedReason_; }
    // The device stops working for `reason` (only the debug switches remove it here).
    void remove(HRESULT reason) { removedReason_ = reason; }

private:
    // Declared first so that it is destroyed last, after every OpenGL object.
    std::unique_ptr<GlContext> gl_;
    D3D_FEATURE_LEVEL level_;
    DeviceLimits limits_;
    std::map<std::pair<uint64_t, uint64_t>, LinkedProgram> programs_;
    std::unique_ptr<DeviceContext> context_;
    HRESULT removedReason_ = S_OK;
};

inline ID3D11Device* asInterface(Device* device) {
    return device;
}

// The first of the requested levels the layer provides (11_0 and below), or false.
bool chooseFeatureLevel(const D3D_FEATURE_LEVEL* requested, UINT count, D3D_FEATURE_LEVEL& chosen);

} // namespace quavel::d3d11
