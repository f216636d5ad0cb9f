// What a capture costs: drawing whole frames at 1600 x 900 in each section of the show
// (frames_per_second), and replaying grid frames without drawing them, as a capture that
// starts later does for every frame before its first (grid_frames_per_second). Each timed
// run ends by reading the result back, so the device's work is counted. Run under a display:
//   xvfb-run -a build/bench/show/show_speed_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/playhead.h"
#include "app/show.h"
#include "read_back_fence.h"
#include "started_show.h"

using namespace Fennick::gfx;

namespace {

constexpr double kFps = 60.0;

DemoApp& show() {
    return startedShow("show_speed_bench");
}

// The frame counter keeps rising across the drawing benchmarks, as in one run.
std::uint32_t nextFrame = 0;

void drawSection(benchmark::State& state, double seconds) {
    DemoApp& app = show();
    Fence fence(app.device, app.immediateContext, app.handles.resources[DemoResource::composite],
                true);
    const float step = static_cast<float>(1.0 / kFps);
    float time = static_cast<float>(seconds);
    for (auto _ : state) {
        renderShowFrame(app, time, nextFrame++, step);
        fence.wait();
        time += step;
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// Seeks forward on the frame grid through the playhead, as a capture does before its first
// frame: every seek replays one batch of grid frames from where the last one left the show.
void replay(benchmark::State& state) {
    DemoApp& app = show();
    Fence fence(app.device, app.immediateContext, app.handles.resources[DemoResource::particles],
                false);
    ShowPicture picture(app);
    Playhead playhead(picture, kFps);
    // The drawing benchmarks have moved the show on: start the grid run from a fresh show.
    playhead.historyChanged();
    playhead.seekToGridFrame(0);
    const std::int64_t batch = state.range(0);
    std::int64_t gridFrame = 0;
    for (auto _ : state) {
        gridFrame += batch;
        playhead.seekToGridFrame(gridFrame);
        fence.wait();
    }
    state.counters["grid_frames_per_second"] =
        benchmark::Counter(double(state.iterations() * batch), benchmark::Counter::kIsRate);
}

struct Section {
    const char* name;
    double seconds;
};

// One moment of each part of the show.
const Section kSections[] = {
    {"pyramid_intro_8s", 8.0},  {"logo_arrives_22.9s", 22.9}, {"main_part_40s", 40.0},
    {"credits_115s", 115.0},    {"explosion_127.2s", 127.2},  {"second_main_150s", 150.0},
    {"final_part_290s", 290.0}, {"outro_360s", 360.0},
};

const bool registered = [] {
    for (const Section& s : kSections)
        benchmark::RegisterBenchmark((std::string("draw_1600x900/") + s.name).c_str(), drawSection,
                                     s.seconds)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    benchmark::RegisterBenchmark("replay_grid_frames", replay)
        ->Arg(600)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    return true;
}();

} // namespace
