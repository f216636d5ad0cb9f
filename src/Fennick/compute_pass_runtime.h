// A compute pass: a compute shader dispatched over groups of 8 threads per axis.
#pragma once

#include <vector>

#include "Fennick/graph_runtime.h"
#include "Fennick/pass_bindings.h"
#include "Fennick/shader_runtime.h"

namespace Fennick::gfx {

struct ComputePassDesc {
    ShaderDesc shader;
    uint32_t threadsX = 8; // total threads along each axis (dispatch_groups.h)
    uint32_t threadsY = 8;
    uint32_t threadsZ = 0;
    RunCondition runCondition = EveryFrame;
    // Output i is unordered-access slot inputs.size() + i; input i is shader-resource slot i.
    std::vector<ResourceBinding> outputs;
    std::vector<ResourceBinding> inputs;
};

struct ComputePassRuntime {
    ComputePassDesc desc;
    ShaderRuntime program;

    // Copies the description, forces the Compute stage kind and creates the shader.
    bool create(ComputePassDesc description);
};

} // namespace Fennick::gfx
