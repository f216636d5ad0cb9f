// A draw pass: a vertex and a pixel shader drawing instanced primitives into render targets.
// Geometry comes from the vertex and instance ids; no vertex buffer is ever bound.
#pragma once

#include <vector>

#include "Fennick/graph_runtime.h"
#include "Fennick/pass_bindings.h"
#include "Fennick/shader_runtime.h"

namespace Fennick::gfx {

// Blend factors of render target 0 (pipeline_state.h). Both alpha modes put the source colour
// over the target by its alpha; they differ in the alpha they leave behind: 1 composites it
// (source alpha x (1 - target alpha) + target alpha), 2 keeps the source's.
enum BlendMode : uint32_t { BlendAdditive = 0, BlendAlphaOver = 1, BlendAlphaReplace = 2 };

// Point list, line list, line strip, triangle list, triangle strip.
enum Topology : uint32_t {
    TopologyPointList = 0,
    TopologyLineList = 1,
    TopologyLineStrip = 2,
    TopologyTriangleList = 3,
    TopologyTriangleStrip = 4,
};

struct DrawPassDesc {
    ShaderDesc shader;
    float clearColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    uint8_t clear = 1;    // clear every render target (and the depth target) before drawing
    uint8_t depth = 0;    // bind depthTarget's depth-stencil view
    uint8_t cullBack = 0; // 0: no culling
    uint8_t blend = 0;    // blending on render target 0
    BlendMode blendMode = BlendAdditive;
    Topology topology = TopologyTriangleList;
    uint32_t vertexCount = 3;
    uint32_t instanceCount = 1;
    RunCondition runCondition = EveryFrame;
    std::vector<RenderTargetBinding> renderTargets; // slots 0, 1, ...; the first sets the viewport
    RenderTargetBinding depthTarget;
    std::vector<ResourceBinding> inputs; // shader-resource slot i of the vertex and pixel stage
};

struct DrawPassRuntime {
    DrawPassDesc desc;
    ShaderRuntime program;

    // Copies the description, forces the Graphics stage kind and creates the shaders.
    bool create(DrawPassDesc description);
};

} // namespace Fennick::gfx
