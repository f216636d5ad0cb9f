#include "demo/build_demo.h"

#include <cstring>
#include <string>
#include <vector>

#include "Fennick/buffer_data_runtime.h"
#include "Fennick/buffer_runtime.h"
#include "Fennick/compute_pass_runtime.h"
#include "Fennick/creation_check.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/frame_context.h"
#include "Fennick/graph_runtime.h"
#include "Fennick/image_runtime.h"
#include "Fennick/texture_layout.h"
#include "Fennick/texture_runtime.h"
#include "app/demo_app.h"
#include "demo/glyph_table.h"
#include "demo/show_assets.h"
#include "demo/show_tracks.h"

using namespace Fennick::gfx;

namespace {

// Cells: a one-channel float texture with one texel per GLOW_CELL x GLOW_CELL texels of an
// earlier texture (its id in `count`), whatever size that one was made at.
enum class Kind { WindowTexture, FixedTexture, Image, Buffer, Message, Cells };

struct ResourceSpec {
    Kind kind;
    std::uint32_t width, height; // fixed textures
    TextureFormat format;        // textures
    DemoImage image;             // images
    std::uint32_t stride, count; // buffers
    std::uint8_t doubleBuffered; // buffers
};

constexpr ResourceSpec windowTexture() {
    return {Kind::WindowTexture, 0, 0, FormatR16G16B16A16Float, {}, 0, 0, 0};
}
constexpr ResourceSpec fixedTexture() {
    return {Kind::FixedTexture, 1904, 818, FormatR32G32B32A32Float, {}, 0, 0, 0};
}
constexpr ResourceSpec image(DemoImage which) {
    return {Kind::Image, 0, 0, FormatR8G8B8A8Unorm, which, 0, 0, 0};
}
constexpr ResourceSpec buffer(std::uint32_t stride, std::uint32_t count,
                              std::uint8_t doubleBuffered) {
    return {Kind::Buffer, 0, 0, FormatR16G16B16A16Float, {}, stride, count, doubleBuffered};
}
constexpr ResourceSpec message() {
    return {Kind::Message, 0, 0, FormatR16G16B16A16Float, {}, 4, 0, 0};
}
constexpr ResourceSpec cellsOf(std::uint32_t texture) {
    return {Kind::Cells, 0, 0, FormatR32Float, {}, 0, texture, 0};
}
constexpr std::uint32_t kGlowCell = 8; // GLOW_CELL of glow_cells.hlsli

constexpr std::uint32_t kParticles = 1000;
constexpr std::uint32_t kMessageGlyphs = messageGlyphCount;

namespace res = DemoResource;
namespace draw = DemoDrawPass;
namespace compute = DemoComputePass;

struct ResourceRow {
    std::uint32_t id;
    ResourceSpec resource;
};

// Resources by id, in creation order.
constexpr ResourceRow kResources[kDemoResourceCount] = {
    {res::pyramidScene, windowTexture()},
    {res::glowBlur, fixedTexture()},
    {res::composite, fixedTexture()},
    {res::particleSprites, windowTexture()},
    {res::pyramidState, buffer(12, 1, 1)},
    {res::particles, buffer(80, kParticles, 1)},
    {res::logoTex, image(DemoImage::logoTex)},
    {res::pyramidPost, windowTexture()},
    {res::logoTex2, image(DemoImage::logoTex2)},
    {res::scrollerGlyphs, windowTexture()},
    {res::letterAtlas, image(DemoImage::letterAtlas)},
    {res::scrollerPost, windowTexture()},
    {res::logoTex3, image(DemoImage::logoTex3)},
    {res::logoTex4, image(DemoImage::logoTex4)},
    {res::glowLogo, windowTexture()},
    {res::glowstuffmap, image(DemoImage::glowstuffmap)},
    {res::glowstuffmapAgain, image(DemoImage::glowstuffmap)},
    {res::logoTex4Again, image(DemoImage::logoTex4)},
    {res::rasterBars, windowTexture()},
    {res::glyphQuads, buffer(48, kMessageGlyphs, 0)},
    {res::letterAtlas2, image(DemoImage::letterAtlas2)},
    {res::explosion, windowTexture()},
    {res::heartImage, image(DemoImage::heartImage)},
    {res::credsImage, image(DemoImage::CredsImage)},
    {res::messageCodes, message()},
    {res::spriteCells, cellsOf(res::particleSprites)},
    {res::quietCells, cellsOf(res::particleSprites)},
};

struct DrawSpec {
    std::uint32_t id;
    DemoShader vertex, pixel;
    std::uint8_t blend;
    BlendMode blendMode;
    std::uint32_t vertexCount, instanceCount;
    std::uint32_t target;
    std::vector<std::uint32_t> inputs;          // resource ids by slot
    std::uint32_t clearAlphaBits = 0x3F800000u; // 1.0
};

using S = DemoShader;

// Draw passes by id: where each pass's programs, blend, counts, target and inputs are chosen.
// Each row's second line is the target, then the inputs by slot.
// clang-format off
const DrawSpec kDrawPasses[kDemoDrawPassCount] = {
    {draw::pyramidScene, S::vsFullscreenFlipY, S::psPyramid, 0, BlendAlphaReplace, 3, 4,
     res::pyramidScene, {res::pyramidState}},
    // The glow blur adds zero to the pixels that only black reaches and alpha 0 where it
    // blurs, so every pixel ends with the alpha 2 that the clear (1) plus the program (1)
    // gave before (ps_glow_blur.hlsl).
    {draw::glowBlur, S::vsFullscreen, S::psGlowBlur, 1, BlendAdditive, 3, 1,
     res::glowBlur, {res::particleSprites, res::quietCells}, 0x40000000u},
    {draw::particleSprites, S::vsParticles, S::psParticle, 0, BlendAlphaReplace, 8600, 1,
     res::particleSprites, {res::particles}},
    {draw::composite, S::vsFullscreen, S::psComposite, 0, BlendAdditive, 3, 1,
     res::composite, {res::pyramidPost, res::glowBlur, res::logoTex, res::logoTex2,
                      res::scrollerPost, res::logoTex3, res::logoTex4, res::glowLogo,
                      res::glowstuffmapAgain, res::rasterBars, res::explosion, res::heartImage,
                      res::credsImage}},
    {draw::pyramidPost, S::vsFullscreen, S::psPyramidPost, 1, BlendAlphaReplace, 3, 1,
     res::pyramidPost, {res::pyramidScene}},
    {draw::scrollerGlyphs, S::vsGlyphs, S::psGlyphs, 1, BlendAlphaOver, 6, kMessageGlyphs,
     res::scrollerGlyphs, {res::letterAtlas, res::glyphQuads, res::letterAtlas2}},
    {draw::scrollerPost, S::vsFullscreen, S::psScrollerPost, 1, BlendAlphaReplace, 3, 1,
     res::scrollerPost, {res::scrollerGlyphs}},
    {draw::glowLogo, S::vsFullscreenFlipY2, S::psGlowLogo, 1, BlendAlphaOver, 3, 1,
     res::glowLogo, {res::glowstuffmap, res::logoTex4Again}},
    {draw::rasterBars, S::vsFullscreen, S::psRasters, 0, BlendAdditive, 192, 1,
     res::rasterBars, {}},
    {draw::explosion, S::vsExplosion, S::psExplosion, 1, BlendAdditive, 300, 1,
     res::explosion, {}},
    {draw::spriteCoverage, S::vsFullscreen, S::psSpriteCoverage, 0, BlendAdditive, 3, 1,
     res::spriteCells, {res::particleSprites}},
    {draw::glowQuietCells, S::vsFullscreen, S::psGlowQuiet, 0, BlendAdditive, 3, 1,
     res::quietCells, {res::spriteCells, res::particleSprites}},
};
// clang-format on

// The scroller's clear colour is 32/255, 5/255, 32/255 to the bit.
constexpr std::uint32_t kScrollerClearBits[4] = {0x3E008073u, 0x3CA0A0F5u, 0x3E008073u,
                                                 0x3F800000u};

struct ComputeSpec {
    std::uint32_t id;
    DemoShader kernel;
    std::uint32_t threadsX, threadsY, threadsZ;
    RunCondition runCondition;
    std::uint32_t output;
    std::vector<std::uint32_t> inputs;
};

// clang-format off
const ComputeSpec kComputePasses[kDemoComputePassCount] = {
    {compute::pyramidUpdate, S::csPyramid, 1, 1, 0, EveryFrame,
     res::pyramidState, {res::pyramidState}},
    {compute::particleSimulation, S::csParticles, kParticles, 1, 1, EveryFrame,
     res::particles, {res::particles, res::pyramidState}},
    {compute::messageLayout, S::csMessageLayout, kMessageGlyphs, 0, 0, FirstFrame,
     res::glyphQuads, {res::messageCodes}},
};
// clang-format on

// Execution order: kind and id.
struct OrderEntry {
    PassKind kind;
    std::uint32_t id;
};
constexpr OrderEntry computed(std::uint32_t id) {
    return {PassKind::Compute, id};
}
constexpr OrderEntry drawn(std::uint32_t id) {
    return {PassKind::Draw, id};
}
constexpr OrderEntry kExecutionOrder[] = {
    computed(compute::pyramidUpdate),
    computed(compute::messageLayout),
    computed(compute::particleSimulation),
    drawn(draw::pyramidScene),
    drawn(draw::particleSprites),
    drawn(draw::scrollerGlyphs),
    drawn(draw::scrollerPost),
    drawn(draw::pyramidPost),
    drawn(draw::explosion),
    drawn(draw::glowLogo),
    drawn(draw::rasterBars),
    drawn(draw::spriteCoverage),
    drawn(draw::glowQuietCells),
    drawn(draw::glowBlur),
    drawn(draw::composite),
};

// Resources are made in id order, which is the order of their table: the row at index n is
// resource n.
template <typename Row, std::size_t N> constexpr bool inIdOrder(const Row (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (rows[i].id != i)
            return false;
    return true;
}
static_assert(inIdOrder(kResources), "resources are listed by id");

constexpr std::uint32_t kOutputTexture = res::composite;

ResourceKind kindOf(const ResourceSpec& entry) {
    return entry.kind == Kind::Buffer || entry.kind == Kind::Message ? Buffer : Texture;
}

Resource* createResource(const ResourceSpec& entry, const DemoHandles& made, int windowWidth,
                         int windowHeight, float renderScale) {
    switch (entry.kind) {
    case Kind::WindowTexture:
    case Kind::FixedTexture:
    case Kind::Cells: {
        TextureDesc desc;
        desc.dimension = Tex2D;
        desc.depth = 0;
        desc.mipmaps = 0;
        desc.format = entry.format;
        // Every target's size is settled here, fixed-size ones included, so that a picture
        // drawn at a fraction of the show's size shrinks as a whole.
        if (entry.kind == Kind::Cells) {
            const TextureDesc& of =
                static_cast<const TextureRuntime*>(made.resources[entry.count])->desc;
            desc.fixedSize = 1;
            desc.width = (of.width + kGlowCell - 1) / kGlowCell;
            desc.height = (of.height + kGlowCell - 1) / kGlowCell;
        } else if (entry.kind == Kind::FixedTexture) {
            desc.fixedSize = 1;
            desc.width = scaledExtent(entry.width, renderScale);
            desc.height = scaledExtent(entry.height, renderScale);
        } else {
            desc.fixedSize = 0;
            desc.scale = renderScale;
            desc.width = scaledExtent(std::uint32_t(windowWidth), desc.scale);
            desc.height = scaledExtent(std::uint32_t(windowHeight), desc.scale);
        }
        auto* texture = new TextureRuntime();
        texture->init(desc, 0);
        return texture;
    }
    case Kind::Image: {
        AssetBlock file = demoImage(entry.image);
        ImageDesc desc;
        desc.data = file.data;
        desc.dataSize = static_cast<std::int32_t>(file.size);
        auto* img = new ImageRuntime();
        img->init(desc);
        return img;
    }
    case Kind::Buffer: {
        BufferDesc desc;
        desc.constant = 0;
        desc.stride = entry.stride;
        desc.countX = entry.count;
        auto* buf = new BufferRuntime();
        buf->init(desc, entry.doubleBuffered);
        return buf;
    }
    case Kind::Message: {
        BufferDataDesc desc;
        desc.type = Int;
        desc.data = messageCodes();
        desc.count = messageCodeCount();
        auto* buf = new BufferDataRuntime();
        buf->init(desc);
        return buf;
    }
    }
    return nullptr;
}

ShaderDesc graphicsShader(DemoShader vertex, DemoShader pixel) {
    ShaderDesc shader;
    shader.stageKind = Graphics;
    AssetBlock vs = demoShader(vertex), ps = demoShader(pixel);
    shader.vertexCode = vs.data;
    shader.vertexCodeSize = vs.size;
    shader.pixelCode = ps.data;
    shader.pixelCodeSize = ps.size;
    return shader;
}

ShaderDesc computeShader(DemoShader kernel) {
    ShaderDesc shader;
    shader.stageKind = Compute;
    AssetBlock cs = demoShader(kernel);
    shader.computeCode = cs.data;
    shader.computeCodeSize = cs.size;
    return shader;
}

std::vector<ResourceBinding> bindings(const DemoHandles& h, const std::vector<std::uint32_t>& ids) {
    std::vector<ResourceBinding> list;
    list.reserve(ids.size());
    for (std::uint32_t id : ids)
        list.push_back({kindOf(kResources[id].resource), h.resources[id]});
    return list;
}

} // namespace

void buildDemo(DemoApp& app, int windowWidth, int windowHeight, float renderScale) {
    auto* graph = new GraphRuntime();
    app.engine = graph;
    DemoHandles& h = app.handles;

    std::vector<ParamDesc> parameters = show::parameterList();
    graph->params.list = parameters;
    graph->frameParams.set(parameters);
    frameContext().declaration = buildContextDeclaration(graph->frameParams);

    show::fillTracks(app.timeline);

    // Each object is named for the start-up check of the device's results.
    for (std::uint32_t id = 0; id < kDemoResourceCount; ++id) {
        setCreationSubject("resource " + std::to_string(id));
        h.resources[id] =
            createResource(kResources[id].resource, h, windowWidth, windowHeight, renderScale);
        graph->resources.findOrInsert(id) = h.resources[id];
    }

    for (const DrawSpec& entry : kDrawPasses) {
        const std::uint32_t id = entry.id;
        setCreationSubject("draw pass " + std::to_string(id) + " (" + demoShaderName(entry.vertex) +
                           ", " + demoShaderName(entry.pixel) + ")");
        DrawPassDesc desc;
        desc.shader = graphicsShader(entry.vertex, entry.pixel);
        if (id == draw::scrollerGlyphs)
            std::memcpy(desc.clearColor, kScrollerClearBits, sizeof desc.clearColor);
        else
            std::memcpy(&desc.clearColor[3], &entry.clearAlphaBits, sizeof desc.clearColor[3]);
        desc.clear = 1;
        desc.depth = 0;
        desc.cullBack = 0;
        desc.blend = entry.blend;
        desc.blendMode = entry.blendMode;
        desc.topology = TopologyTriangleList;
        desc.vertexCount = entry.vertexCount;
        desc.instanceCount = entry.instanceCount;
        desc.runCondition = EveryFrame;
        desc.renderTargets.push_back({static_cast<TextureRuntime*>(h.resources[entry.target]), 1});
        desc.inputs = bindings(h, entry.inputs);
        auto* pass = new DrawPassRuntime();
        pass->create(std::move(desc));
        h.drawPasses[id] = pass;
        graph->drawPasses.findOrInsert(id) = pass;
    }

    for (const ComputeSpec& entry : kComputePasses) {
        const std::uint32_t id = entry.id;
        setCreationSubject("compute pass " + std::to_string(id) + " (" +
                           demoShaderName(entry.kernel) + ")");
        ComputePassDesc desc;
        desc.shader = computeShader(entry.kernel);
        desc.threadsX = entry.threadsX;
        desc.threadsY = entry.threadsY;
        desc.threadsZ = entry.threadsZ;
        desc.runCondition = entry.runCondition;
        desc.outputs = bindings(h, {entry.output});
        desc.inputs = bindings(h, entry.inputs);
        auto* pass = new ComputePassRuntime();
        pass->create(std::move(desc));
        h.computePasses[id] = pass;
        graph->computePasses.findOrInsert(id) = pass;
    }

    for (const OrderEntry& entry : kExecutionOrder) {
        if (entry.kind == PassKind::Draw)
            graph->passes.push_back({PassKind::Draw, h.drawPasses[entry.id], nullptr});
        else
            graph->passes.push_back({PassKind::Compute, nullptr, h.computePasses[entry.id]});
    }

    graph->output = static_cast<TextureRuntime*>(h.resources[kOutputTexture]);
    graph->firstFrame = 1;
}
