// Live recompiles run on worker threads: the show goes on drawing frames while a batch of
// programs compiles, and the batch lands between two frames in one step: all of it, or, when
// one of its programs does not compile, none of it (the others wait and come with the fix).
// Saves made while a batch compiles start the next batch once it is in.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/graph_runtime.h"
#include "app/shader_reload.h"
#include "app/show.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A texture by this name makes the device refuse the shader (the Direct3D layer's switch,
// read once, when the device is made).
constexpr const char* kRefusedName = "deviceRefusesThis";

// A small picture: these frames only have to be drawn, not looked at.
DemoApp& show() {
    static DemoApp app;
    static bool started = [] {
        setenv("QUAVEL_D3D11_REFUSE_SHADER", kRefusedName, 1);
        std::string error;
        const bool ok = startShowGraphics(app, error, WindowShown::Never, 0.25f);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    EXPECT_TRUE(started);
    return app;
}

// The compiler the reload is given: each compile waits until the gate opens (or gives up after
// a while, failing), then fails the programs named in `failing` and compiles the rest.
class Gate {
public:
    shaderpack::CompileResult compile(const shaderpack::HlslSource& source) {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waiting_;
        const bool opened = changed_.wait_for(lock, 20s, [&] { return open_; });
        --waiting_;
        if (!opened || failing_.count(source.program)) {
            shaderpack::CompileResult failed;
            failed.included = {source.path};
            failed.error = shaderpack::CompileError{source.program, source.path, 1,
                                                    opened ? "planted failure" : "gate shut"};
            return failed;
        }
        lock.unlock();
        return shaderpack::compileHlsl(source);
    }
    void set(bool open, std::set<std::string> failing = {}) {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = open;
        failing_ = std::move(failing);
        changed_.notify_all();
    }
    int waiting() {
        std::lock_guard<std::mutex> lock(mutex_);
        return waiting_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    std::set<std::string> failing_;
    int waiting_ = 0;
};

// Every pass's shader objects, in pass order.
using Objects = std::vector<std::tuple<void*, void*, void*>>;
Objects shaderObjects(const DemoApp& app) {
    Objects objects;
    for (const Fennick::gfx::PassEntry& entry : app.engine->passes) {
        const Fennick::gfx::ShaderRuntime* program = entry.draw      ? &entry.draw->program
                                                     : entry.compute ? &entry.compute->program
                                                                     : nullptr;
        if (program)
            objects.emplace_back(program->vertexShader, program->pixelShader,
                                 program->computeShader);
    }
    return objects;
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// How many passes' objects differ between two looks.
std::size_t passesChanged(const Objects& before, const Objects& after) {
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        changed += before[i] != after[i];
    return changed;
}

// Scales what the program returns, so its block changes.
void scaleReturn(const fs::path& file, const std::string& factor) {
    std::ifstream in(file);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::size_t at = text.find("return ");
    ASSERT_NE(at, std::string::npos) << file;
    ASSERT_EQ(text.find("return ", at + 1), std::string::npos) << file << " returns twice";
    text.insert(at + 7, factor + " * ");
    std::ofstream(file, std::ios::trunc) << text;
}

TEST(ShaderReload, CompilesWhileFramesAreDrawnAndSwapsABatchWholeOrNotAtAll) {
    DemoApp& app = show();
    const fs::path folder =
        fs::temp_directory_path() / ("quavel_reload_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::copy(SHADER_SOURCES, folder);
    Gate gate;
    ShaderReload reload(*app.engine, quavel_demo_shaders_programs, folder.string(),
                        [&gate](const shaderpack::HlslSource& s) { return gate.compile(s); });
    const ShaderSwap all = reload.compileAll();
    ASSERT_TRUE(all.ok()) << all.errors.front();
    ASSERT_TRUE(all.swapped.empty()) << "the build's own sources gave other programs";

    std::uint32_t frame = 0;
    float time = 40.0f; // the scroller and the particles are on screen
    auto drawFrame = [&] { renderShowFrame(app, time += 1.0f / 60, frame++, 1.0f / 60); };
    // Draws frames until the batch is in (or a minute is up); its result and the frames drawn.
    auto drawUntilSwapped = [&](int& frames) {
        const auto end = Clock::now() + 60s;
        for (frames = 0; Clock::now() < end; ++frames) {
            if (std::optional<ShaderSwap> swap = reload.finish())
                return *swap;
            drawFrame();
        }
        ADD_FAILURE() << "the batch never finished";
        return ShaderSwap{};
    };
    const std::vector<std::string> edited = {"ps_glyphs", "ps_particle", "ps_sprite_coverage"};
    std::vector<std::string> files;
    for (const std::string& program : edited) {
        files.push_back((folder / (program + ".hlsl")).string());
        scaleReturn(files.back(), "0.5");
    }
    const Objects original = shaderObjects(app);

    // While the batch compiles (held at the gate) the show draws, with the programs it had.
    gate.set(false, {"ps_glyphs"});
    const auto began = Clock::now();
    reload.begin(files);
    EXPECT_LT(Clock::now() - began, 1s) << "begin() waited for the compile";
    EXPECT_TRUE(reload.compiling());
    for (int i = 0; i < 3; ++i) {
        drawFrame();
        EXPECT_FALSE(reload.finish()) << "a batch still compiling was swapped in";
    }
    EXPECT_GT(gate.waiting(), 0);
    EXPECT_EQ(shaderObjects(app), original);

    // One program fails: nothing of the batch is swapped in, the others wait for it.
    gate.set(true, {"ps_glyphs"});
    int frames = 0;
    ShaderSwap swap = drawUntilSwapped(frames);
    EXPECT_TRUE(swap.swapped.empty());
    ASSERT_EQ(swap.errors.size(), 1u);
    EXPECT_EQ(swap.errors[0].rfind("ps_glyphs: ", 0), 0u) << swap.errors[0];
    EXPECT_EQ(sorted(swap.held), (std::vector<std::string>{"ps_particle", "ps_sprite_coverage"}));
    EXPECT_EQ(reload.broken(), std::vector<std::string>{"ps_glyphs"});
    EXPECT_EQ(shaderObjects(app), original) << "part of a failed batch was swapped in";

    // The fix compiles again the broken program and the two that waited. A save during that
    // compile waits for the next batch.
    gate.set(false);
    reload.begin({});
    drawFrame();
    const fs::path composite = folder / "ps_composite.hlsl";
    std::string text;
    {
        std::ifstream in(composite);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string constant = "(1.0 - P.a) * base";
    ASSERT_NE(text.find(constant), std::string::npos);
    text.replace(text.find(constant), constant.size(), "(0.5 - P.a) * base");
    std::ofstream(composite, std::ios::trunc) << text;
    reload.begin({composite.string()});
    gate.set(true);
    swap = drawUntilSwapped(frames);
    EXPECT_TRUE(swap.ok()) << swap.errors.front();
    EXPECT_EQ(sorted(swap.swapped), edited);
    EXPECT_TRUE(reload.broken().empty());
    const Objects fixed = shaderObjects(app);
    // Each of the three runs in one pass.
    EXPECT_EQ(passesChanged(original, fixed), 3u);
    EXPECT_TRUE(reload.compiling()) << "the save made during the compile was dropped";
    swap = drawUntilSwapped(frames);
    EXPECT_EQ(swap.swapped, std::vector<std::string>{"ps_composite"});
    EXPECT_EQ(passesChanged(fixed, shaderObjects(app)), 1u);
    drawFrame(); // the new programs draw
    fs::remove_all(folder);
}

std::string fileText(const fs::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A save that fails keeps the running program and says why, by the program's name; a save
// that then returns the file to exactly the running text clears the broken state, with the
// program still the one that ran.
TEST(ShaderReload, AFailedSaveKeepsTheRunningProgramAndTheRunningTextClearsIt) {
    DemoApp& app = show();
    const fs::path folder =
        fs::temp_directory_path() / ("quavel_reload_failures_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::copy(SHADER_SOURCES, folder);
    ShaderReload reload(*app.engine, quavel_demo_shaders_programs, folder.string());
    reload.compileAll();
    const fs::path file = folder / "ps_particle.hlsl";
    const std::string running = fileText(file);
    const std::string::size_type at = running.find("return ");
    ASSERT_NE(at, std::string::npos);
    const struct Case {
        const char* what;
        std::string text;
        std::string said; // in the error, after "ps_particle: "
    } cases[] = {
        {"a save that does not compile", running + "\nthis is no HLSL\n", file.string() + ":"},
        {"a block the device refuses",
         std::string("Texture2D ") + kRefusedName + " : register(t15);\n" +
             running.substr(0, at + 7) + kRefusedName + ".Load(int3(0, 0, 0)) * " +
             running.substr(at + 7),
         "CreatePixelShader"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Objects before = shaderObjects(app);
        std::ofstream(file, std::ios::trunc) << c.text;
        const ShaderSwap failed = reload.compileChanged({file.string()});
        ASSERT_EQ(failed.errors.size(), 1u);
        EXPECT_EQ(failed.errors[0].rfind("ps_particle: ", 0), 0u) << failed.errors[0];
        EXPECT_NE(failed.errors[0].find(c.said), std::string::npos) << failed.errors[0];
        EXPECT_TRUE(failed.swapped.empty());
        EXPECT_EQ(reload.broken(), std::vector<std::string>{"ps_particle"});
        EXPECT_EQ(shaderObjects(app), before) << "the failed program replaced the running one";

        std::ofstream(file, std::ios::trunc) << running;
        const ShaderSwap back = reload.compileChanged({file.string()});
        EXPECT_TRUE(back.ok()) << back.errors.front();
        EXPECT_EQ(back.unchanged, std::vector<std::string>{"ps_particle"});
        EXPECT_TRUE(back.swapped.empty());
        EXPECT_TRUE(reload.broken().empty()) << "the running text left the program broken";
        EXPECT_EQ(shaderObjects(app), before);
    }
    fs::remove_all(folder);
}

} // namespace
