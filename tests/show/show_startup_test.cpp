#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Fennick/buffer_runtime.h"
#include "Fennick/graph_runtime.h"
#include "Fennick/texture_runtime.h"
#include "app/frame_loop.h"
#include "app/show.h"
#include "params/frame_context.h"

namespace {

using namespace Fennick::gfx;

// One show for the whole program: start-up builds the full graph, and every frame costs
// seconds on the software rasteriser.
DemoApp& show() {
    static DemoApp app;
    static bool started = [] {
        std::string error;
        bool ok = startShowGraphics(app, error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    EXPECT_TRUE(started);
    return app;
}

std::uint32_t bytesAt(double seconds) {
    return static_cast<std::uint32_t>(seconds * 44100) * 8;
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
}

TEST(ShowGraph, ResourcesPassesAndOrder) {
    DemoApp& app = show();
    GraphRuntime& g = *app.engine;
    EXPECT_EQ(g.resources.count, 25u);
    EXPECT_EQ(g.drawPasses.count, 10u);
    EXPECT_EQ(g.computePasses.count, 3u);
    for (std::uint32_t id = 0; id < 25; ++id)
        EXPECT_EQ(g.resources.find(id), app.handles.resources[id]) << "resource " << id;

    // Window-relative, fixed and image textures as the graph needs them.
    auto texture = [&](std::uint32_t id) {
        return static_cast<TextureRuntime*>(app.handles.resources[id]);
    };
    struct Size {
        std::uint32_t id, width, height;
        TextureFormat format;
    } sizes[] = {{0, 1600, 900, FormatR16G16B16A16Float}, {1, 1904, 818, FormatR32G32B32A32Float},
                 {2, 1904, 818, FormatR32G32B32A32Float}, {18, 1600, 900, FormatR16G16B16A16Float},
                 {10, 4096, 3318, FormatR8G8B8A8Unorm},   {23, 1196, 68, FormatR8G8B8A8Unorm},
                 {15, 764, 348, FormatR8G8B8A8Unorm},     {16, 764, 348, FormatR8G8B8A8Unorm}};
    for (const Size& s : sizes) {
        TextureRuntime* t = texture(s.id);
        EXPECT_EQ(t->desc.width, s.width) << "texture " << s.id;
        EXPECT_EQ(t->desc.height, s.height) << "texture " << s.id;
        EXPECT_EQ(t->desc.format, s.format) << "texture " << s.id;
        EXPECT_NE(t->srvA, nullptr) << "texture " << s.id;
    }
    EXPECT_NE(texture(15)->resourceA, texture(16)->resourceA); // two objects, one file

    auto buffer = [&](std::uint32_t id) {
        return static_cast<BufferRuntime*>(app.handles.resources[id]);
    };
    EXPECT_EQ(buffer(4)->desc.stride, 12u);
    EXPECT_EQ(buffer(4)->doubleBuffered, 1);
    EXPECT_EQ(buffer(5)->desc.stride, 80u);
    EXPECT_EQ(buffer(5)->desc.countX, 1000u);
    EXPECT_EQ(buffer(19)->desc.stride, 48u);
    EXPECT_EQ(buffer(19)->desc.countX, 1569u);
    EXPECT_EQ(buffer(24)->desc.countX, 1569u);

    // Thirteen passes in their order, then the engine's final copy into the window.
    ASSERT_EQ(g.passes.size(), 14u);
    const std::pair<PassKind, std::uint32_t> order[] = {
        {PassKind::Compute, 0}, {PassKind::Compute, 2}, {PassKind::Compute, 1}, {PassKind::Draw, 0},
        {PassKind::Draw, 2},    {PassKind::Draw, 5},    {PassKind::Draw, 6},    {PassKind::Draw, 4},
        {PassKind::Draw, 9},    {PassKind::Draw, 7},    {PassKind::Draw, 8},    {PassKind::Draw, 1},
        {PassKind::Draw, 3}};
    for (std::size_t i = 0; i < 13; ++i) {
        EXPECT_EQ(g.passes[i].kind, order[i].first) << "pass " << i;
        if (order[i].first == PassKind::Draw)
            EXPECT_EQ(g.passes[i].draw, app.handles.drawPasses[order[i].second]) << "pass " << i;
        else
            EXPECT_EQ(g.passes[i].compute, app.handles.computePasses[order[i].second])
                << "pass " << i;
    }
    EXPECT_EQ(g.passes[13].kind, PassKind::Draw);
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
    FrameLoopResult r = runFrameLoop(app, [&](const DemoApp&) {
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

TEST(ShowFrameLoop, EscapeEndsTheShowAfterTheCurrentFrame) {
    DemoApp& app = show();
    app.quitRequested = false;
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_Window* focus = SDL_GetKeyboardFocus();
    key.key.windowID = focus ? SDL_GetWindowID(focus) : 0;
    SDL_PushEvent(&key);
    key.type = SDL_KEYUP;
    key.key.state = SDL_RELEASED;
    SDL_PushEvent(&key); // tapped, not held: "pressed since the last query" still counts
    FrameLoopResult r = runFrameLoop(app, [](const DemoApp&) { return bytesAt(10.0); });
    EXPECT_EQ(r.framesRendered, 1u);
    EXPECT_TRUE(app.quitRequested);
}

TEST(ShowFrameLoop, ClosingTheWindowEndsTheShowAfterTheCurrentFrame) {
    DemoApp& app = show();
    app.quitRequested = false;
    GetAsyncKeyState(VK_ESCAPE); // forget the earlier tap
    // The default handling of WM_CLOSE destroys the window, whose procedure posts WM_QUIT.
    EXPECT_EQ(DefWindowProcW(app.window, WM_CLOSE, 0, 0), 0);
    FrameLoopResult r = runFrameLoop(app, [](const DemoApp&) { return bytesAt(12.0); });
    EXPECT_EQ(r.framesRendered, 1u);
    EXPECT_TRUE(app.quitRequested);
}

} // namespace
