// The three shader stages the show's programs are written for, numbered as the Linux
// Direct3D layer's shader block stores them.
#pragma once

#include <cstdint>

namespace quavel::d3d11 {

enum class ShaderStage : uint32_t { Vertex = 0, Pixel = 1, Compute = 2 };

} // namespace quavel::d3d11
