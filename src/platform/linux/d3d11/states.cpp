#include "platform/linux/d3d11/states.h"

#include <new>

#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/refusals.h"

namespace quavel::d3d11 {
namespace {

template <class Key> struct Translation {
    Key key;
    GLenum value;
};

template <class Key, size_t N>
bool translate(const Translation<Key> (&table)[N], Key key, GLenum& value) {
    for (const Translation<Key>& entry : table) {
        if (entry.key == key) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

const Translation<D3D11_BLEND> blendFactors[] = {
    {D3D11_BLEND_ZERO, GL_ZERO},
    {D3D11_BLEND_ONE, GL_ONE},
    {D3D11_BLEND_SRC_COLOR, GL_SRC_COLOR},
    {D3D11_BLEND_INV_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR},
    {D3D11_BLEND_SRC_ALPHA, GL_SRC_ALPHA},
    {D3D11_BLEND_INV_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
    {D3D11_BLEND_DEST_ALPHA, GL_DST_ALPHA},
    {D3D11_BLEND_INV_DEST_ALPHA, GL_ONE_MINUS_DST_ALPHA},
    {D3D11_BLEND_DEST_COLOR, GL_DST_COLOR},
    {D3D11_BLEND_INV_DEST_COLOR, GL_ONE_MINUS_DST_COLOR},
    {D3D11_BLEND_SRC_ALPHA_SAT, GL_SRC_ALPHA_SATURATE},
    {D3D11_BLEND_BLEND_FACTOR, GL_CONSTANT_COLOR},
    {D3D11_BLEND_INV_BLEND_FACTOR, GL_ONE_MINUS_CONSTANT_COLOR},
    {D3D11_BLEND_SRC1_COLOR, GL_SRC1_COLOR},
    {D3D11_BLEND_INV_SRC1_COLOR, GL_ONE_MINUS_SRC1_COLOR},
    {D3D11_BLEND_SRC1_ALPHA, GL_SRC1_ALPHA},
    {D3D11_BLEND_INV_SRC1_ALPHA, GL_ONE_MINUS_SRC1_ALPHA},
};

// Alpha factors must not name a colour; Direct3D refuses them there.
bool isColourFactor(D3D11_BLEND factor) {
    return factor == D3D11_BLEND_SRC_COLOR || factor == D3D11_BLEND_INV_SRC_COLOR ||
           factor == D3D11_BLEND_DEST_COLOR || factor == D3D11_BLEND_INV_DEST_COLOR ||
           factor == D3D11_BLEND_SRC1_COLOR || factor == D3D11_BLEND_INV_SRC1_COLOR;
}

const Translation<D3D11_BLEND_OP> blendOps[] = {
    {D3D11_BLEND_OP_ADD, GL_FUNC_ADD},
    {D3D11_BLEND_OP_SUBTRACT, GL_FUNC_SUBTRACT},
    {D3D11_BLEND_OP_REV_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT},
    {D3D11_BLEND_OP_MIN, GL_MIN},
    {D3D11_BLEND_OP_MAX, GL_MAX},
};

const Translation<D3D11_TEXTURE_ADDRESS_MODE> addressModes[] = {
    {D3D11_TEXTURE_ADDRESS_WRAP, GL_REPEAT},
    {D3D11_TEXTURE_ADDRESS_MIRROR, GL_MIRRORED_REPEAT},
    {D3D11_TEXTURE_ADDRESS_CLAMP, GL_CLAMP_TO_EDGE},
    {D3D11_TEXTURE_ADDRESS_BORDER, GL_CLAMP_TO_BORDER},
    {D3D11_TEXTURE_ADDRESS_MIRROR_ONCE, GL_MIRROR_CLAMP_TO_EDGE},
};

const Translation<D3D11_COMPARISON_FUNC> comparisons[] = {
    {D3D11_COMPARISON_NEVER, GL_NEVER},          {D3D11_COMPARISON_LESS, GL_LESS},
    {D3D11_COMPARISON_EQUAL, GL_EQUAL},          {D3D11_COMPARISON_LESS_EQUAL, GL_LEQUAL},
    {D3D11_COMPARISON_GREATER, GL_GREATER},      {D3D11_COMPARISON_NOT_EQUAL, GL_NOTEQUAL},
    {D3D11_COMPARISON_GREATER_EQUAL, GL_GEQUAL}, {D3D11_COMPARISON_ALWAYS, GL_ALWAYS},
};

const Translation<D3D11_FILL_MODE> fillModes[] = {
    {D3D11_FILL_WIREFRAME, GL_LINE},
    {D3D11_FILL_SOLID, GL_FILL},
};

const Translation<D3D11_CULL_MODE> cullModes[] = {
    {D3D11_CULL_NONE, GL_NONE},
    {D3D11_CULL_FRONT, GL_FRONT},
    {D3D11_CULL_BACK, GL_BACK},
};

// glClipControl's upper-left origin also flips OpenGL's winding rule, so a triangle that is
// clockwise on screen (y down), Direct3D's front face by default, is clockwise to OpenGL.
constexpr GLenum clockwiseOnScreen = GL_CW;
constexpr GLenum counterClockwiseOnScreen = GL_CCW;

bool translateTarget(const D3D11_RENDER_TARGET_BLEND_DESC& in, GlBlendTarget& out) {
    out.enable = in.BlendEnable != FALSE;
    out.writeMask = in.RenderTargetWriteMask;
    if (!out.enable) {
        return (in.RenderTargetWriteMask & ~D3D11_COLOR_WRITE_ENABLE_ALL) == 0;
    }
    return !isColourFactor(in.SrcBlendAlpha) && !isColourFactor(in.DestBlendAlpha) &&
           translate(blendFactors, in.SrcBlend, out.sourceColour) &&
           translate(blendFactors, in.DestBlend, out.destColour) &&
           translate(blendOps, in.BlendOp, out.colourOp) &&
           translate(blendFactors, in.SrcBlendAlpha, out.sourceAlpha) &&
           translate(blendFactors, in.DestBlendAlpha, out.destAlpha) &&
           translate(blendOps, in.BlendOpAlpha, out.alphaOp) &&
           (in.RenderTargetWriteMask & ~D3D11_COLOR_WRITE_ENABLE_ALL) == 0;
}

bool translateBlend(const D3D11_BLEND_DESC& in, GlBlend& out) {
    out.alphaToCoverage = in.AlphaToCoverageEnable != FALSE;
    for (UINT i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) {
        // Without independent blending every target follows the first.
        const auto& source = in.IndependentBlendEnable ? in.RenderTarget[i] : in.RenderTarget[0];
        if (!translateTarget(source, out.targets[i])) {
            return false;
        }
    }
    return true;
}

bool translateRasterizer(const D3D11_RASTERIZER_DESC& in, GlRasterizer& out) {
    GLenum cullFace = GL_NONE;
    if (!translate(fillModes, in.FillMode, out.polygonMode) ||
        !translate(cullModes, in.CullMode, cullFace)) {
        return false;
    }
    out.cull = cullFace != GL_NONE;
    out.cullFace = out.cull ? cullFace : GL_BACK;
    out.frontFace = in.FrontCounterClockwise ? counterClockwiseOnScreen : clockwiseOnScreen;
    out.depthClip = in.DepthClipEnable != FALSE;
    out.depthBias = static_cast<float>(in.DepthBias);
    out.slopeScaledDepthBias = in.SlopeScaledDepthBias;
    return true;
}

// Direct3D filter codes: bit 0 linear mip, bit 2 linear magnification, bit 4 linear
// minification, 0x40 anisotropic, 0x80 comparison.
bool validFilter(D3D11_FILTER filter) {
    UINT code = filter;
    UINT base = code & ~0x80u;
    return (code & ~0xD5u) == 0 && (base == 0x55 || (base & ~0x15u) == 0);
}

GLenum minificationOf(UINT code) {
    bool linearMin = code & 0x10, linearMip = code & 0x1;
    if (linearMin) {
        return linearMip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
    }
    return linearMip ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
}

class BlendStateObject final : public DeviceChildObject<ID3D11BlendState> {
public:
    BlendStateObject(Device& device, const D3D11_BLEND_DESC& desc, const GlBlend& blend)
        : DeviceChildObject(device), desc_(desc), blend(blend) {}
    void GetDesc(D3D11_BLEND_DESC* desc) override { *desc = desc_; }

private:
    D3D11_BLEND_DESC desc_;

public:
    const GlBlend blend;
};

class RasterizerStateObject final : public DeviceChildObject<ID3D11RasterizerState> {
public:
    RasterizerStateObject(Device& device, const D3D11_RASTERIZER_DESC& desc,
                          const GlRasterizer& rasterizer)
        : DeviceChildObject(device), desc_(desc), rasterizer(rasterizer) {}
    void GetDesc(D3D11_RASTERIZER_DESC* desc) override { *desc = desc_; }

private:
    D3D11_RASTERIZER_DESC desc_;

public:
    const GlRasterizer rasterizer;
};

class SamplerStateObject final : public DeviceChildObject<ID3D11SamplerState> {
public:
    SamplerStateObject(Device& device, const D3D11_SAMPLER_DESC& desc)
        : DeviceChildObject(device), desc_(desc) {}
    ~SamplerStateObject() override {
        device().makeCurrent();
        glDeleteSamplers(1, &sampler);
    }
    void GetDesc(D3D11_SAMPLER_DESC* desc) override { *desc = desc_; }

    GLuint sampler = 0;

private:
    D3D11_SAMPLER_DESC desc_;
};

} // namespace

const GlBlend& defaultBlend() {
    static const GlBlend blend;
    return blend;
}

const GlRasterizer& defaultRasterizer() {
    static const GlRasterizer rasterizer = [] {
        GlRasterizer r;
        r.frontFace = clockwiseOnScreen;
        return r;
    }();
    return rasterizer;
}

const GlBlend* glBlend(ID3D11BlendState* state) {
    auto* object = dynamic_cast<BlendStateObject*>(state);
    return object ? &object->blend : nullptr;
}

const GlRasterizer* glRasterizer(ID3D11RasterizerState* state) {
    auto* object = dynamic_cast<RasterizerStateObject*>(state);
    return object ? &object->rasterizer : nullptr;
}

GLuint glSampler(ID3D11SamplerState* state) {
    auto* object = dynamic_cast<SamplerStateObject*>(state);
    return object ? object->sampler : 0;
}

HRESULT createBlendState(Device& device, const D3D11_BLEND_DESC* desc, ID3D11BlendState** out) {
    GlBlend blend;
    if (desc == nullptr || !translateBlend(*desc, blend)) {
        return refuse("CreateBlendState", "a null description or an unknown blend factor, "
                                          "operation or write mask");
    }
    if (out == nullptr) {
        return S_FALSE;
    }
    *out = new (std::nothrow) BlendStateObject(device, *desc, blend);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT createRasterizerState(Device& device, const D3D11_RASTERIZER_DESC* desc,
                              ID3D11RasterizerState** out) {
    GlRasterizer rasterizer;
    if (desc == nullptr || !translateRasterizer(*desc, rasterizer)) {
        return refuse("CreateRasterizerState",
                      "a null description or an unknown FillMode or CullMode");
    }
    // Accepting these and drawing without them would give a different picture.
    if (desc->ScissorEnable) {
        return refuse("CreateRasterizerState",
                      "ScissorEnable: scissor rectangles are not supported");
    }
    if (desc->DepthBiasClamp != 0.0f) {
        return refuse("CreateRasterizerState", "DepthBiasClamp: only 0 (no clamp) is supported");
    }
    if (out == nullptr) {
        return S_FALSE;
    }
    *out = new (std::nothrow) RasterizerStateObject(device, *desc, rasterizer);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT createSamplerState(Device& device, const D3D11_SAMPLER_DESC* desc,
                           ID3D11SamplerState** out) {
    GLenum wrapU = 0, wrapV = 0, wrapW = 0, compare = 0;
    if (desc == nullptr || !validFilter(desc->Filter) ||
        !translate(addressModes, desc->AddressU, wrapU) ||
        !translate(addressModes, desc->AddressV, wrapV) ||
        !translate(addressModes, desc->AddressW, wrapW) ||
        !translate(comparisons, desc->ComparisonFunc, compare) || desc->MaxAnisotropy > 16 ||
        desc->MinLOD > desc->MaxLOD) {
        return refuse("CreateSamplerState", "a null description, an unknown Filter, address "
                                            "mode or ComparisonFunc, MaxAnisotropy over 16 or "
                                            "MinLOD above MaxLOD");
    }
    if (out == nullptr) {
        return S_FALSE;
    }
    auto* state = new (std::nothrow) SamplerStateObject(device, *desc);
    if (state == nullptr) {
        return E_OUTOFMEMORY;
    }
    device.makeCurrent();
    UINT code = desc->Filter;
    bool anisotropic = (code & 0x55) == 0x55;
    GLuint sampler = 0;
    glCreateSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minificationOf(code));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, (code & 0x4) ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrapU);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrapV);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, wrapW);
    glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, desc->MipLODBias);
    glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, desc->MinLOD);
    glSamplerParameterf(sampler, GL_TEXTURE_MAX_LOD, desc->MaxLOD);
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, desc->BorderColor);
    if (code & 0x80) {
        glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_FUNC, compare);
    }
    if (anisotropic && epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic")) {
        glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY,
                            static_cast<float>(desc->MaxAnisotropy));
    }
    state->sampler = sampler;
    *out = state;
    return S_OK;
}

} // namespace quavel::d3d11
