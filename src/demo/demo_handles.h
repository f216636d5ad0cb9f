// Handles of the demo graph's objects, by their graph ids. The graph owns the objects.
#pragma once

#include <cstddef>

namespace Fennick::gfx {
class Resource;
struct DrawPassRuntime;
struct ComputePassRuntime;
} // namespace Fennick::gfx

constexpr std::size_t kDemoResourceCount = 27;
constexpr std::size_t kDemoDrawPassCount = 12;
constexpr std::size_t kDemoComputePassCount = 3;

struct DemoHandles {
    Fennick::gfx::Resource* resources[kDemoResourceCount] = {};
    Fennick::gfx::DrawPassRuntime* drawPasses[kDemoDrawPassCount] = {};
    Fennick::gfx::ComputePassRuntime* computePasses[kDemoComputePassCount] = {};
};
