// The immediate context: keeps the Direct3D pipeline state with references to everything
// bound, and turns draws, dispatches, clears and transfers into calls of the JavaScript half.
// Direct3D's hazard rules hold here as on Windows: binding a resource as an output takes it
// out of every input slot, and a resource bound as an output cannot be bound as an input.
#pragma once

#include "platform/linux/d3d11/com_object.h"
#include "platform/linux/d3d11/staged_context.h"
#include "platform/web/d3d11/gpu_command.h"

namespace quavel::d3d11 {

class Device;
struct WebResource;

class DeviceContext final : public StagedContext {
public:
    explicit DeviceContext(Device& device);
    ~DeviceContext() override;

    // The context lives and dies with its device: references count on the device.
    HRESULT QueryInterface(REFIID id, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    void GetDevice(ID3D11Device** device) override;

    void CSSetUnorderedAccessViews(UINT start, UINT count, ID3D11UnorderedAccessView* const* views,
                                   const UINT* initialCounts) override;
    void IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY topology) override;
    void RSSetState(ID3D11RasterizerState* state) override;
    void RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports) override;
    void OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views,
                            ID3D11DepthStencilView* depth) override;
    void OMSetBlendState(ID3D11BlendState* state, const FLOAT factor[4], UINT sampleMask) override;
    void Draw(UINT vertexCount, UINT startVertex) override;
    void DrawInstanced(UINT vertexCount, UINT instanceCount, UINT startVertex,
                       UINT startInstance) override;
    void Dispatch(UINT x, UINT y, UINT z) override;
    void ClearRenderTargetView(ID3D11RenderTargetView* view, const FLOAT colour[4]) override;
    void ClearDepthStencilView(ID3D11DepthStencilView* view, UINT flags, FLOAT depth,
                               UINT8 stencil) override;
    void ClearUnorderedAccessViewUint(ID3D11UnorderedAccessView* view,
                                      const UINT values[4]) override;
    void ClearUnorderedAccessViewFloat(ID3D11UnorderedAccessView* view,
                                       const FLOAT values[4]) override;
    void GenerateMips(ID3D11ShaderResourceView* view) override;
    void UpdateSubresource(ID3D11Resource* resource, UINT subresource, const D3D11_BOX* box,
                           const void* data, UINT rowPitch, UINT depthPitch) override;
    void CopyResource(ID3D11Resource* destination, ID3D11Resource* source) override;
    void CopySubresourceRegion(ID3D11Resource* destination, UINT destinationSubresource, UINT x,
                               UINT y, UINT z, ID3D11Resource* source, UINT sourceSubresource,
                               const D3D11_BOX* box) override;
    HRESULT Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP type, UINT flags,
                D3D11_MAPPED_SUBRESOURCE* mapped) override;
    void Unmap(ID3D11Resource* resource, UINT subresource) override;
    void Begin(ID3D11Asynchronous* query) override;
    void End(ID3D11Asynchronous* query) override;
    HRESULT GetData(ID3D11Asynchronous* query, void* data, UINT size, UINT flags) override;
    void ClearState() override;
    void Flush() override;

private:
    void setConstantBuffers(Stage stage, UINT start, UINT count,
                            ID3D11Buffer* const* buffers) override;
    void setResources(Stage stage, UINT start, UINT count,
                      ID3D11ShaderResourceView* const* views) override;
    bool boundAsOutput(const WebResource* resource) const;
    void unbindFromInputs(const WebResource* resource);
    void fillRegisters(Stage stage, quavel::web::StageRegisters& registers) const;

    Device& device_;
    Ref<ID3D11UnorderedAccessView> unorderedAccess_[D3D11_PS_CS_UAV_REGISTER_COUNT];
    D3D11_PRIMITIVE_TOPOLOGY topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;
    Ref<ID3D11RasterizerState> rasterizer_;
    D3D11_VIEWPORT viewport_ = {};
    bool hasViewport_ = false;
    Ref<ID3D11RenderTargetView> renderTargets_[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT];
    Ref<ID3D11DepthStencilView> depthStencil_;
    Ref<ID3D11BlendState> blend_;
    FLOAT blendFactor_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // The command records, kept so that a draw does not put 1.5 KB on the stack.
    quavel::web::DrawCommand draw_ = {};
    quavel::web::DispatchCommand dispatch_ = {};
};

} // namespace quavel::d3d11
