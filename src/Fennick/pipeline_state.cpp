#include "Fennick/pipeline_state.h"

#include <iterator>

namespace Fennick::gfx {

namespace {

constexpr DXGI_FORMAT kFormats[] = {
    DXGI_FORMAT_R32_FLOAT,          DXGI_FORMAT_R8G8B8A8_UNORM,     DXGI_FORMAT_B8G8R8A8_UNORM,
    DXGI_FORMAT_R16G16B16A16_FLOAT, DXGI_FORMAT_R32G32B32A32_FLOAT, DXGI_FORMAT_D24_UNORM_S8_UINT,
    DXGI_FORMAT_D32_FLOAT,          DXGI_FORMAT_R32_UINT,
};
static_assert(std::size(kFormats) == kTextureFormatCount);

constexpr D3D11_PRIMITIVE_TOPOLOGY kTopologies[] = {
    D3D11_PRIMITIVE_TOPOLOGY_POINTLIST,     D3D11_PRIMITIVE_TOPOLOGY_LINELIST,
    D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP,     D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST,
    D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP,
};

struct BlendFactors {
    D3D11_BLEND src, dest;
    D3D11_BLEND_OP op;
    D3D11_BLEND srcAlpha, destAlpha;
    D3D11_BLEND_OP opAlpha;
};

constexpr BlendFactors kBlendModes[] = {
    {D3D11_BLEND_ONE, D3D11_BLEND_ONE, D3D11_BLEND_OP_ADD, D3D11_BLEND_ONE, D3D11_BLEND_ONE,
     D3D11_BLEND_OP_ADD},
    {D3D11_BLEND_SRC_ALPHA, D3D11_BLEND_INV_SRC_ALPHA, D3D11_BLEND_OP_ADD,
     D3D11_BLEND_INV_DEST_ALPHA, D3D11_BLEND_ONE, D3D11_BLEND_OP_ADD},
    {D3D11_BLEND_SRC_ALPHA, D3D11_BLEND_INV_SRC_ALPHA, D3D11_BLEND_OP_ADD, D3D11_BLEND_ONE,
     D3D11_BLEND_ZERO, D3D11_BLEND_OP_ADD},
};

} // namespace

DXGI_FORMAT dxgiFormat(TextureFormat format) {
    return format < std::size(kFormats) ? kFormats[format] : DXGI_FORMAT_UNKNOWN;
}

D3D11_PRIMITIVE_TOPOLOGY primitiveTopology(Topology topology) {
    return topology < std::size(kTopologies) ? kTopologies[topology]
                                             : D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;
}

D3D11_BLEND_DESC blendDescription(uint8_t blend, BlendMode mode) {
    D3D11_BLEND_DESC description = {};
    description.AlphaToCoverageEnable = FALSE;
    description.IndependentBlendEnable = FALSE;
    D3D11_RENDER_TARGET_BLEND_DESC& target = description.RenderTarget[0];
    target.BlendEnable = blend ? TRUE : FALSE;
    target.RenderTargetWriteMask = D3D11_COLOR_WRITE_ENABLE_ALL;
    if (mode < std::size(kBlendModes)) {
        const BlendFactors& factors = kBlendModes[mode];
        target.SrcBlend = factors.src;
        target.DestBlend = factors.dest;
        target.BlendOp = factors.op;
        target.SrcBlendAlpha = factors.srcAlpha;
        target.DestBlendAlpha = factors.destAlpha;
        target.BlendOpAlpha = factors.opAlpha;
    }
    return description;
}

D3D11_RASTERIZER_DESC rasterizerDescription(uint8_t cullBack) {
    D3D11_RASTERIZER_DESC description = {};
    description.FillMode = D3D11_FILL_SOLID;
    description.CullMode = cullBack == 1 ? D3D11_CULL_BACK : D3D11_CULL_NONE;
    description.FrontCounterClockwise = FALSE;
    description.DepthBias = 0;
    description.DepthBiasClamp = 0.0f;
    description.SlopeScaledDepthBias = 0.0f;
    description.DepthClipEnable = TRUE;
    description.ScissorEnable = FALSE;
    description.MultisampleEnable = FALSE;
    description.AntialiasedLineEnable = FALSE;
    return description;
}

} // namespace Fennick::gfx
