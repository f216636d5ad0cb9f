// Rasterizer, blend and sampler state objects, validated at creation and translated to the
// OpenGL settings the context applies.
#pragma once

#include <epoxy/gl.h>

#include "platform/linux/d3d11/com_object.h"

namespace quavel::d3d11 {

struct GlBlendTarget {
    bool enable = false;
    GLenum sourceColour = GL_ONE, destColour = GL_ZERO, colourOp = GL_FUNC_ADD;
    GLenum sourceAlpha = GL_ONE, destAlpha = GL_ZERO, alphaOp = GL_FUNC_ADD;
    UINT8 writeMask = D3D11_COLOR_WRITE_ENABLE_ALL;
};

struct GlBlend {
    bool alphaToCoverage = false;
    GlBlendTarget targets[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT];
};

struct GlRasterizer {
    GLenum polygonMode = GL_FILL;
    bool cull = true;
    GLenum cullFace = GL_BACK;
    GLenum frontFace = GL_CW;
    bool depthClip = true;
    float depthBias = 0.0f;
    float slopeScaledDepthBias = 0.0f;
};

// Direct3D's defaults, in force while no state object is bound.
const GlBlend& defaultBlend();
const GlRasterizer& defaultRasterizer();

const GlBlend* glBlend(ID3D11BlendState* state);
const GlRasterizer* glRasterizer(ID3D11RasterizerState* state);
// The OpenGL sampler object; 0 for a null or foreign state.
GLuint glSampler(ID3D11SamplerState* state);

HRESULT createBlendState(Device& device, const D3D11_BLEND_DESC* desc, ID3D11BlendState** out);
HRESULT createRasterizerState(Device& device, const D3D11_RASTERIZER_DESC* desc,
                              ID3D11RasterizerState** out);
HRESULT createSamplerState(Device& device, const D3D11_SAMPLER_DESC* desc,
                           ID3D11SamplerState** out);

} // namespace quavel::d3d11
