// What a shader edit under quavel1 --edit costs before it is on screen, for every program of
// the show: the program's file is saved with a real edit (one decimal constant nudged, so the
// compiled block changes), then ShaderReload::compileChanged recompiles the program and swaps
// it into the running graph (compile_swap_ms), and the next frame is drawn with it and waited
// for (frame_ms). The device compiles a new program for good only when it first draws with it
// (llvmpipe's shader JIT), so that first frame costs more than the next one, drawn with nothing
// changed (steady_frame_ms); the difference belongs to the swap. Every iteration saves the
// other text (edited, original, edited, ...), so each one swaps.
//
// What a user sees adds the watcher's settle time (kShaderSettle, 50 ms of quiet after the last
// write) and up to one frame until the next poll. The show stands at 150 s, in the second main
// part, where most passes run, and the frame is held there (drawn again from the same state,
// as under the editor's pause), so every program's figures are of the same picture. A program whose
// own file has no decimal constant that changes the compiled block is reported so (skipped), not
// timed. Run under a display:
//   xvfb-run -a build/bench/show/live_shader_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/shader_reload.h"
#include "app/show.h"
#include "read_back_fence.h"
#include "started_show.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr float kShowTime = 150.0f;
constexpr float kStep = 1.0f / 60.0f;
constexpr int kLiteralsTried = 16; // constants tried per program before giving up

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

double msSince(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Mesa keeps compiled shaders on disk by their source; the edits here repeat from run to run,
// and a user's edit is new text, so the device compiles every program afresh.
const char* withoutShaderCache() {
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    return "live_shader_bench";
}

// The show at 150 s, its programs compiled once from a copy of their source folder (removed
// at exit); the reload and the show live as long as the program.
struct LiveShow {
    DemoApp& app;
    Fennick::gfx::Fence fence;
    fs::path folder;
    ShaderReload* reload = nullptr;
    std::vector<std::string> used; // programs some pass runs

    LiveShow()
        : app(startedShow(withoutShaderCache())),
          fence(app.device, app.immediateContext, app.handles.resources[DemoResource::composite],
                true) {
        folder =
            fs::temp_directory_path() / ("quavel1-live-shader-bench-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::copy(fs::path(quavel_demo_shaders_programs.programs[0].path).parent_path(), folder);
        reload = new ShaderReload(*app.engine, quavel_demo_shaders_programs, folder.string());
        const ShaderSwap all = reload->compileAll();
        for (const std::string& message : all.errors)
            std::fprintf(stderr, "live_shader_bench: %s\n", message.c_str());
        used = all.unchanged;
        used.insert(used.end(), all.swapped.begin(), all.swapped.end());
        for (std::uint32_t frame = 0; frame < 3; ++frame)
            renderShowFrame(app, kShowTime + frame * kStep, frame, kStep);
    }
    ~LiveShow() { fs::remove_all(folder); }

    // The held frame drawn again, finished on the device; its time in ms.
    double drawFrame() {
        const auto began = Clock::now();
        redrawLastShowFrame(app);
        fence.wait();
        return msSince(began, Clock::now());
    }
};

LiveShow& liveShow() {
    static LiveShow show;
    return show;
}

bool swapped(const ShaderSwap& swap, const std::string& program) {
    return std::find(swap.swapped.begin(), swap.swapped.end(), program) != swap.swapped.end();
}

// The program's text with the first decimal constant whose nudge (a digit 1 appended to its
// fraction: 0.5 becomes 0.51) changes the compiled block; empty when none of the first
// kLiteralsTried does. Each trial is compiled and swapped in, then swapped back.
std::string nudgedText(ShaderReload& reload, const std::string& program, const fs::path& file,
                       const std::string& original, std::string& where, int& tried) {
    static const std::regex decimal(R"(\b\d+\.\d+)");
    tried = 0;
    for (auto it = std::sregex_iterator(original.begin(), original.end(), decimal);
         it != std::sregex_iterator() && tried < kLiteralsTried; ++it, ++tried) {
        const std::size_t end = std::size_t(it->position() + it->length());
        std::string edited = original;
        edited.insert(end, "1");
        writeFile(file, edited);
        const bool changes = swapped(reload.compileChanged({file.string()}), program);
        writeFile(file, original);
        reload.compileChanged({file.string()});
        if (changes) {
            const long line = std::count(original.begin(), original.begin() + it->position(), '\n');
            where = it->str() + " -> " + it->str() + "1 at line " + std::to_string(line + 1);
            return edited;
        }
    }
    return {};
}

void editProgram(benchmark::State& state, const shaderpack::HlslProgram* listed) {
    LiveShow& show = liveShow();
    const std::string program = listed->name;
    if (std::find(show.used.begin(), show.used.end(), program) == show.used.end()) {
        state.SkipWithError("no pass of the show runs this program");
        return;
    }
    const fs::path file = show.folder / fs::path(listed->path).filename();
    const std::string original = readFile(file);
    std::string where;
    int tried = 0;
    const std::string edited = nudgedText(*show.reload, program, file, original, where, tried);
    if (edited.empty()) {
        state.SkipWithError(tried == 0 ? "no decimal constant in the program's own file"
                                       : "no decimal constant of the file changes the block");
        return;
    }
    double compileMs = 0.0, frameMs = 0.0, steadyMs = 0.0, compiled = 0.0;
    bool editedSaved = false;
    for (auto _ : state) {
        editedSaved = !editedSaved;
        writeFile(file, editedSaved ? edited : original);
        const auto began = Clock::now();
        const ShaderSwap swap = show.reload->compileChanged({file.string()});
        const double compile = msSince(began, Clock::now());
        const double frame = show.drawFrame();
        if (!swapped(swap, program)) {
            state.SkipWithError("the saved file did not swap the program");
            break;
        }
        compiled += double(swap.swapped.size() + swap.unchanged.size() + swap.errors.size());
        compileMs += compile;
        frameMs += frame;
        state.SetIterationTime((compile + frame) / 1000.0);
        state.PauseTiming();
        steadyMs += show.drawFrame();
        state.ResumeTiming();
    }
    if (editedSaved) {
        writeFile(file, original);
        show.reload->compileChanged({file.string()});
    }
    const double n = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["compile_swap_ms"] = compileMs / n;
    state.counters["frame_ms"] = frameMs / n;
    state.counters["steady_frame_ms"] = steadyMs / n;
    state.counters["programs_compiled"] = compiled / n; // more when another program reads the file
    state.SetLabel(std::string(listed->stage) + ", " + where);
}

const bool registered = [] {
    for (const shaderpack::HlslProgram& listed : quavel_demo_shaders_programs)
        benchmark::RegisterBenchmark((std::string("save_to_frame/") + listed.name).c_str(),
                                     editProgram, &listed)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(4);
    return true;
}();

} // namespace
