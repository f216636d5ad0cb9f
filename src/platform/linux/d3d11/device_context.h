// The immediate context: keeps the Direct3D pipeline state with references to everything
// bound, and turns draws, dispatches, clears and transfers into OpenGL calls.
#pragma once

#include <epoxy/gl.h>

#include "platform/linux/d3d11/com_object.h"
#include "platform/linux/d3d11/shaders.h"
#include "platform/linux/d3d11/staged_context.h"

namespace quavel::d3d11 {

struct GlView;
struct GlResource;

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
    // Direct3D's hazard rules: a resource is never input and output at once.
    bool boundAsOutput(const GlResource* resource) const;
    void unbindFromInputs(const GlResource* resource);

    bool bindFramebuffer();
    void applyFixedFunction();
    void bindProgramSlots(const LinkedProgram& program);
    void bindStorage(GLuint unit, const GlView* view);
    void bindSampledTexture(GLuint unit, const GlView* view);
    // A scratch framebuffer holding just the given view, for clears.
    GLuint scratchFramebufferWith(const GlView& view, bool depth);

    Device& device_;

    Ref<ID3D11UnorderedAccessView> unorderedAccess_[D3D11_PS_CS_UAV_REGISTER_COUNT];

    D3D11_PRIMITIVE_TOPOLOGY topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;
    Ref<ID3D11RasterizerState> rasterizer_;
    D3D11_VIEWPORT viewports_[D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE] = {};
    UINT viewportCount_ = 0;

    Ref<ID3D11RenderTargetView> renderTargets_[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT];
    Ref<ID3D11DepthStencilView> depthStencil_;
    Ref<ID3D11BlendState> blend_;
    FLOAT blendFactor_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    UINT sampleMask_ = 0xffffffffu;

    GLuint vertexArray_ = 0;
    GLuint drawFramebuffer_ = 0;
    GLuint scratchFramebuffer_ = 0;
    // What empty slots read: zeros, as Direct3D gives for unbound resources.
    GLuint zeroBuffer_ = 0;
    static constexpr GLsizeiptr kLargestConstantBuffer = 4096 * 16;
    GLuint zeroTextures_[3] = {}; // 1D, 2D, 3D: a unit has one binding per target
};

} // namespace quavel::d3d11
