#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "Fennick/buffer_runtime.h"
#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/frame_context.h"
#include "Fennick/graph_runtime.h"
#include "Fennick/texture_runtime.h"
#include "app/frame_loop.h"
#include "app/show.h"
#include "demo/show_assets.h"
#include "platform/linux/d3d11/dxgi_factory.h"

namespace {

using namespace Fennick::gfx;

// One show for the whole program: start-up builds the full graph, and every frame costs
// seconds on the software rasteriser.
DemoApp& show() {
    static DemoApp app;
    static bool started = [] {
        std::string error;
        bool ok = startShowGraphics(app, error, WindowShown::OnScreen, kFullSize);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    EXPECT_TRUE(started);
    return app;
}

std::uint32_t bytesAt(double seconds) {
    return static_cast<std::uint32_t>(seconds * 44100) * 8;
}

// The show's frame loop over a fake sound card whose play position is `bytes`.
template <typename Bytes> FrameLoopResult runLoop(DemoApp& app, Bytes bytes) {
    ShowPicture picture(app);
    Playhead playhead(picture, 60.0);
    return runFrameLoop(app, playhead,
                        [&](const DemoApp& a) { return audioSecondsFromBytes(bytes(a)); });
}

std::wstring wide(const wchar_t* text) {
    return text;
}

TEST(ShowWindow, BorderlessCentredWithItsClassAndTitle) {
    DemoApp& app = show();
    wchar_t text[64] = {};
    ASSERT_GT(GetClassNameW(app.window, text, 64), 0);
    EXPECT_EQ(std::wstring(text), wide(L"DemoTemplate"));
    ASSERT_GT(GetWindowTextW(app.window, text, 64), 0);
    EXPECT_EQ(std::wstring(text), wide(L"quavel1"));

    const LONG style = GetWindowLongW(app.window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(app.windowClass.style, static_cast<UINT>(CS_CLASSDC));

    RECT desktop{}, window{};
    ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &desktop));
    ASSERT_TRUE(GetWindowRect(app.window, &window));
    EXPECT_EQ(window.right - window.left, 1600);
    EXPECT_EQ(window.bottom - window.top, 900);
    EXPECT_EQ(window.left, (desktop.right - 1600) / 2);
    EXPECT_EQ(window.top, (desktop.bottom - 900) / 2);
    // Alt+Enter would switch DXGI to exclusive full screen: the show turns that off.
    EXPECT_EQ(quavel::d3d11::windowAssociation(app.window), UINT(DXGI_MWA_NO_ALT_ENTER));
}

// Tables written from the show's description of its graph: the 25 resources, the 13 passes
// with every field and binding, and their order.
TEST(ShowGraph, ResourcesPassesAndBindingsAreTheShows) {
    DemoApp& app = show();
    GraphRuntime& g = *app.engine;
    const DemoHandles& h = app.handles;
    EXPECT_EQ(g.resources.count, 27u);
    EXPECT_EQ(g.drawPasses.count, 12u);
    EXPECT_EQ(g.computePasses.count, 3u);
    for (std::uint32_t id = 0; id < 27; ++id)
        EXPECT_EQ(g.resources.find(id), h.resources[id]) << "resource " << id;

    // Textures and images by id: W window-sized half floats, F fixed float, then image sizes.
    const TextureFormat W = FormatR16G16B16A16Float, F = FormatR32G32B32A32Float,
                        I = FormatR8G8B8A8Unorm, R = FormatR32Float;
    struct Texture {
        std::uint32_t id, width, height;
        TextureFormat format;
    } textures[] = {{0, 1600, 900, W},   {1, 1904, 818, F},   {2, 1904, 818, F},  {3, 1600, 900, W},
                    {6, 764, 348, I},    {7, 1600, 900, W},   {8, 764, 348, I},   {9, 1600, 900, W},
                    {10, 4096, 3318, I}, {11, 1600, 900, W},  {12, 764, 348, I},  {13, 764, 348, I},
                    {14, 1600, 900, W},  {15, 764, 348, I},   {16, 764, 348, I},  {17, 764, 348, I},
                    {18, 1600, 900, W},  {20, 4096, 3318, I}, {21, 1600, 900, W}, {22, 764, 348, I},
                    {23, 1196, 68, I},   {25, 200, 113, R},   {26, 200, 113, R}};
    auto texture = [&](std::uint32_t id) { return static_cast<TextureRuntime*>(h.resources[id]); };
    for (const Texture& t : textures) {
        const TextureRuntime& r = *texture(t.id);
        EXPECT_EQ(
            std::make_tuple(r.desc.width, r.desc.height, r.desc.format, int(r.doubleBuffered)),
            std::make_tuple(t.width, t.height, t.format, 0))
            << "texture " << t.id;
    }
    EXPECT_NE(texture(15)->resourceA, texture(16)->resourceA); // two objects, one file
    EXPECT_NE(texture(13)->resourceA, texture(17)->resourceA);
    struct Buffer {
        std::uint32_t id, stride, count;
        std::uint8_t doubleBuffered;
    } buffers[] = {{4, 12, 1, 1}, {5, 80, 1000, 1}, {19, 48, 1569, 0}, {24, 4, 1569, 0}};
    for (const Buffer& b : buffers) {
        const BufferRuntime& r = *static_cast<BufferRuntime*>(h.resources[b.id]);
        EXPECT_EQ(std::make_tuple(r.desc.stride, r.desc.countX, int(r.doubleBuffered)),
                  std::make_tuple(b.stride, b.count, int(b.doubleBuffered)))
            << "buffer " << b.id;
    }
    auto expectInputs = [&](const std::vector<ResourceBinding>& actual,
                            const std::vector<std::uint32_t>& ids, const std::string& pass) {
        ASSERT_EQ(actual.size(), ids.size()) << pass;
        for (std::size_t slot = 0; slot < ids.size(); ++slot) {
            const bool buffer =
                ids[slot] == 4 || ids[slot] == 5 || ids[slot] == 19 || ids[slot] == 24;
            EXPECT_EQ(actual[slot].resource, h.resources[ids[slot]]) << pass << " slot " << slot;
            EXPECT_EQ(actual[slot].kind, buffer ? Fennick::gfx::Buffer : Fennick::gfx::Texture)
                << pass << " slot " << slot;
        }
    };

    using S = DemoShader;
    struct Draw {
        S vertex, pixel;
        std::uint8_t blend;
        BlendMode mode;
        std::uint32_t vertices, instances, target;
        std::vector<std::uint32_t> inputs;
    } draws[] = {
        {S::vsFullscreenFlipY, S::psPyramid, 0, BlendAlphaReplace, 3, 4, 0, {4}},
        {S::vsFullscreen, S::psGlowBlur, 1, BlendAdditive, 3, 1, 1, {3, 26}},
        {S::vsParticles, S::psParticle, 0, BlendAlphaReplace, 8600, 1, 3, {5}},
        {S::vsFullscreen,
         S::psComposite,
         0,
         BlendAdditive,
         3,
         1,
         2,
         {7, 1, 6, 8, 11, 12, 13, 14, 16, 18, 21, 22, 23}},
        {S::vsFullscreen, S::psPyramidPost, 1, BlendAlphaReplace, 3, 1, 7, {0}},
        {S::vsGlyphs, S::psGlyphs, 1, BlendAlphaOver, 6, 1569, 9, {10, 19, 20}},
        {S::vsFullscreen, S::psScrollerPost, 1, BlendAlphaReplace, 3, 1, 11, {9}},
        {S::vsFullscreenFlipY2, S::psGlowLogo, 1, BlendAlphaOver, 3, 1, 14, {15, 17}},
        {S::vsFullscreen, S::psRasters, 0, BlendAdditive, 192, 1, 18, {}},
        {S::vsExplosion, S::psExplosion, 1, BlendAdditive, 300, 1, 21, {}},
        {S::vsFullscreen, S::psSpriteCoverage, 0, BlendAdditive, 3, 1, 25, {3}},
        {S::vsFullscreen, S::psGlowQuiet, 0, BlendAdditive, 3, 1, 26, {25, 3}},
    };
    for (std::uint32_t id = 0; id < 12; ++id) {
        const Draw& e = draws[id];
        const DrawPassDesc& d = h.drawPasses[id]->desc;
        const std::string pass = "draw pass " + std::to_string(id);
        EXPECT_EQ(g.drawPasses.find(id), h.drawPasses[id]) << pass;
        EXPECT_EQ(std::make_tuple(d.shader.vertexCode, d.shader.pixelCode, int(d.blend),
                                  d.blendMode, d.vertexCount, d.instanceCount),
                  std::make_tuple(demoShader(e.vertex).data, demoShader(e.pixel).data, int(e.blend),
                                  e.mode, e.vertices, e.instances))
            << pass;
        EXPECT_EQ(
            std::make_tuple(d.topology, d.runCondition, d.clear + 2 * d.depth + 4 * d.cullBack),
            std::make_tuple(TopologyTriangleList, EveryFrame, 1))
            << pass;
        ASSERT_EQ(d.renderTargets.size(), 1u) << pass;
        EXPECT_EQ(d.renderTargets[0].texture, texture(e.target)) << pass;
        EXPECT_EQ(d.renderTargets[0].flag, 1) << pass;
        // 32/255, 5/255, 32/255 behind the scroller, black elsewhere, to the bit.
        const std::uint32_t scroller[4] = {0x3E008073u, 0x3CA0A0F5u, 0x3E008073u, 0x3F800000u},
                            black[4] = {0, 0, 0, 0x3F800000u}, alpha2[4] = {0, 0, 0, 0x40000000u};
        EXPECT_EQ(std::memcmp(d.clearColor,
                              id == 5   ? scroller
                              : id == 1 ? alpha2
                                        : black,
                              16),
                  0)
            << pass;
        expectInputs(d.inputs, e.inputs, pass);
    }

    struct Compute {
        S kernel;
        std::uint32_t x, y, z;
        RunCondition run;
        std::uint32_t output;
        std::vector<std::uint32_t> inputs;
    } computes[] = {{S::csPyramid, 1, 1, 0, EveryFrame, 4, {4}},
                    {S::csParticles, 1000, 1, 1, EveryFrame, 5, {5, 4}},
                    {S::csMessageLayout, 1569, 0, 0, FirstFrame, 19, {24}}};
    for (std::uint32_t id = 0; id < 3; ++id) {
        const Compute& e = computes[id];
        const ComputePassDesc& d = h.computePasses[id]->desc;
        const std::string pass = "compute pass " + std::to_string(id);
        EXPECT_EQ(g.computePasses.find(id), h.computePasses[id]) << pass;
        EXPECT_EQ(d.shader.computeCode, demoShader(e.kernel).data) << pass;
        EXPECT_EQ(std::make_tuple(d.threadsX, d.threadsY, d.threadsZ, d.runCondition),
                  std::make_tuple(e.x, e.y, e.z, e.run))
            << pass;
        expectInputs(d.outputs, {e.output}, pass + " output");
        expectInputs(d.inputs, e.inputs, pass);
    }

    // Thirteen passes in their order, then the engine's final copy into the window.
    ASSERT_EQ(g.passes.size(), 16u);
    const std::pair<PassKind, std::uint32_t> order[] = {
        {PassKind::Compute, 0}, {PassKind::Compute, 2}, {PassKind::Compute, 1},
        {PassKind::Draw, 0},    {PassKind::Draw, 2},    {PassKind::Draw, 5},
        {PassKind::Draw, 6},    {PassKind::Draw, 4},    {PassKind::Draw, 9},
        {PassKind::Draw, 7},    {PassKind::Draw, 8},    {PassKind::Draw, 10},
        {PassKind::Draw, 11},   {PassKind::Draw, 1},    {PassKind::Draw, 3}};
    for (std::size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(g.passes[i].kind, order[i].first) << "pass " << i;
        if (order[i].first == PassKind::Draw)
            EXPECT_EQ(g.passes[i].draw, h.drawPasses[order[i].second]) << "pass " << i;
        else
            EXPECT_EQ(g.passes[i].compute, h.computePasses[order[i].second]) << "pass " << i;
    }
    EXPECT_EQ(g.passes[15].kind, PassKind::Draw);
    EXPECT_EQ(g.output->rtvA, app.backBufferView);
    EXPECT_EQ(g.output->desc.width, 1600u);
}

TEST(ShowGraph, ShadersDeclareTheContextBufferTheEngineUploads) {
    show();
    std::ifstream file(CONTEXT_BUFFER_INCLUDE);
    ASSERT_TRUE(file) << CONTEXT_BUFFER_INCLUDE;
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find(frameContext().declaration), std::string::npos)
        << "context_buffer.hlsli must hold the generated declaration:\n"
        << frameContext().declaration;
}

// The frame-loop tests run in this order within the program: each renders at most one frame.
TEST(ShowFrameLoop, CountsFramesAndElapsedTimeThenEndsAt368WithoutRendering) {
    DemoApp& app = show();
    GraphRuntime& g = *app.engine;
    // A byte count that is not a multiple of 8 falls to whole sample frames; an unchanged clock
    // gives an elapsed time of 0.
    const std::uint32_t clock[] = {bytesAt(1.0),  bytesAt(1.5) + 7, bytesAt(1.5),
                                   bytesAt(2.25), bytesAt(367.99),  bytesAt(368.0)};
    struct Frame {
        std::uint32_t frame;
        float time, elapsed;
    } expected[] = {{0, 1.0f, 1.0f},
                    {1, 1.5f, 0.5f},
                    {2, 1.5f, 0.0f},
                    {3, 2.25f, 0.75f},
                    {4, 367.99f, 365.74f}};
    // Only frame 0 runs the graph (a full frame costs seconds on llvmpipe); the later frames
    // run the loop over an empty pass list, which is all the counter and the clock need.
    std::vector<PassEntry> passes;
    std::size_t call = 0;
    FrameLoopResult r = runLoop(app, [&](const DemoApp&) {
        if (call > 0) {
            const ContextData& data = frameContextData();
            const Frame& e = expected[call - 1];
            EXPECT_EQ(data.frame, e.frame);
            EXPECT_FLOAT_EQ(data.time, e.time) << "frame " << e.frame;
            EXPECT_FLOAT_EQ(data.elapsedTime, e.elapsed) << "frame " << e.frame;
        }
        if (call == 1) {
            EXPECT_EQ(g.firstFrame, 0);
            passes.swap(g.passes);
        }
        return call < 6 ? clock[call++] : (++call, bytesAt(400.0)); // stops a loop past 368 s
    });
    g.passes.swap(passes);
    EXPECT_EQ(call, 6u);
    EXPECT_EQ(r.framesRendered, 5u);
    EXPECT_EQ(r.lastTime, 368.0f);
    EXPECT_EQ(frameContextData().frame, 4u); // the 368 s frame was not rendered
}

TEST(ShowFrameLoop, ClosingTheWindowEndsTheShowAfterTheCurrentFrame) {
    DemoApp& app = show();
    app.quitRequested = false;
    GetAsyncKeyState(VK_ESCAPE); // forget the earlier tap
    // The default handling of WM_CLOSE destroys the window, whose procedure posts WM_QUIT.
    EXPECT_EQ(DefWindowProcW(app.window, WM_CLOSE, 0, 0), 0);
    FrameLoopResult r = runLoop(app, [](const DemoApp&) { return bytesAt(12.0); });
    EXPECT_EQ(r.framesRendered, 1u);
    EXPECT_TRUE(app.quitRequested);
}

} // namespace
