// Runs the show's graph once at a chosen time to bring every resource into its state, then
// times each pass on its own at 1600 x 900. Passes run asynchronously on the device, so each
// timed run ends by reading one texel or element of the pass's output back, which waits for
// the pass to finish. Run under a display (xvfb-run on a machine without one).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Fennick/buffer_runtime.h"
#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/frame_context.h"
#include "Fennick/frame_execution.h"
#include "Fennick/graph_runtime.h"
#include "Fennick/texture_runtime.h"
#include "Fennick/upload_block.h"
#include "app/show.h"
#include "read_back_fence.h"
#include "started_show.h"

using namespace Fennick::gfx;

namespace {

constexpr float kShowTime = 150.0f; // the second main part: every layer is busy

DemoApp& show() {
    static DemoApp& app = []() -> DemoApp& {
        DemoApp& started = startedShow("show_pass_bench");
        for (std::uint32_t frame = 0; frame < 3; ++frame)
            renderShowFrame(started, kShowTime + frame / 60.0f, frame, 1.0f / 60.0f);
        return started;
    }();
    return app;
}

std::vector<std::uint8_t> frameBlock(DemoApp& app) {
    return buildUploadBlock(&frameContextData(), kContextDataSize, app.engine->frameParams);
}

const char* const kDrawNames[] = {
    "draw0_pyramid_scene",      "draw1_particle_glow_blur", "draw2_particle_sprites",
    "draw3_composite",          "draw4_pyramid_post",       "draw5_scroller_glyphs",
    "draw6_scroller_post",      "draw7_glow_logo",          "draw8_raster_bars",
    "draw9_particle_explosion", "draw10_sprite_coverage",   "draw11_glow_quiet_cells"};
const char* const kComputeNames[] = {"compute0_pyramid_update", "compute1_particle_simulation",
                                     "compute2_message_layout"};

void drawPass(benchmark::State& state, std::uint32_t id) {
    DemoApp& app = show();
    DrawPassRuntime& pass = *app.handles.drawPasses[id];
    Fence fence(app.device, app.immediateContext, pass.desc.renderTargets[0].texture, true);
    std::vector<std::uint8_t> block = frameBlock(app);
    for (auto _ : state) {
        executeDrawPass(pass, block.data(), static_cast<std::uint32_t>(block.size()));
        fence.wait();
    }
}

void computePass(benchmark::State& state, std::uint32_t id) {
    DemoApp& app = show();
    ComputePassRuntime& pass = *app.handles.computePasses[id];
    Fence fence(app.device, app.immediateContext, pass.desc.outputs[0].resource, false);
    std::vector<std::uint8_t> block = frameBlock(app);
    for (auto _ : state) {
        executeComputePass(pass, block.data(), static_cast<std::uint32_t>(block.size()));
        fence.wait();
    }
}

void wholeFrame(benchmark::State& state) {
    DemoApp& app = show();
    std::uint32_t frame = 3;
    Fence fence(app.device, app.immediateContext, app.handles.resources[DemoResource::composite],
                true);
    for (auto _ : state) {
        renderShowFrame(app, kShowTime + frame / 60.0f, frame, 1.0f / 60.0f);
        ++frame;
        fence.wait();
    }
}

const bool registered = [] {
    for (std::uint32_t id = 0; id < kDemoDrawPassCount; ++id)
        benchmark::RegisterBenchmark(kDrawNames[id], drawPass, id)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    for (std::uint32_t id = 0; id < kDemoComputePassCount; ++id)
        benchmark::RegisterBenchmark(kComputeNames[id], computePass, id)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    benchmark::RegisterBenchmark("whole_frame", wholeFrame)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    return true;
}();

} // namespace
