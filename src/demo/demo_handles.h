// The show's graph ids by name, and handles of the graph's objects by those ids. The numbers
// are the ids the graph keeps (resources in creation order); the names say what each one is,
// so a table reads "glow blur target" where the graph stores 1, and a wrong id is a name that
// does not exist. The graph owns the objects.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Fennick::gfx {
class Resource;
struct DrawPassRuntime;
struct ComputePassRuntime;
} // namespace Fennick::gfx

namespace DemoResource {
enum : std::uint32_t {
    pyramidScene = 0,
    glowBlur = 1,  // the particles' glow, blurred (1904 x 818)
    composite = 2, // everything put together (1904 x 818), the graph's output
    particleSprites = 3,
    pyramidState = 4,
    particles = 5,
    logoTex = 6,
    pyramidPost = 7,
    logoTex2 = 8,
    scrollerGlyphs = 9,
    letterAtlas = 10,
    scrollerPost = 11,
    logoTex3 = 12,
    logoTex4 = 13,
    glowLogo = 14,
    glowstuffmap = 15,
    glowstuffmapAgain = 16, // a second object from the same file
    logoTex4Again = 17,     // a second object from the same file
    rasterBars = 18,
    glyphQuads = 19,
    letterAtlas2 = 20,
    explosion = 21,
    heartImage = 22,
    credsImage = 23,
    messageCodes = 24,
    spriteCells = 25, // sprite cells holding any colour
    quietCells = 26,  // sprite cells out of the glow's reach
    count
};
} // namespace DemoResource

namespace DemoDrawPass {
enum : std::uint32_t {
    pyramidScene = 0,
    glowBlur = 1,
    particleSprites = 2,
    composite = 3,
    pyramidPost = 4,
    scrollerGlyphs = 5,
    scrollerPost = 6,
    glowLogo = 7,
    rasterBars = 8,
    explosion = 9,
    spriteCoverage = 10,
    glowQuietCells = 11,
    count
};
} // namespace DemoDrawPass

namespace DemoComputePass {
enum : std::uint32_t { pyramidUpdate = 0, particleSimulation = 1, messageLayout = 2, count };
} // namespace DemoComputePass

constexpr std::size_t kDemoResourceCount = DemoResource::count;
constexpr std::size_t kDemoDrawPassCount = DemoDrawPass::count;
constexpr std::size_t kDemoComputePassCount = DemoComputePass::count;

struct DemoHandles {
    Fennick::gfx::Resource* resources[kDemoResourceCount] = {};
    Fennick::gfx::DrawPassRuntime* drawPasses[kDemoDrawPassCount] = {};
    Fennick::gfx::ComputePassRuntime* computePasses[kDemoComputePassCount] = {};
};
