// The shader folder's watch: a save (in however many pieces), a new file and a removed one are
// handed over once, only after the folder has been quiet for the settle time; other files are
// not watched.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <unistd.h>

#include "app/shader_watch.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Rows: what happens to the folder, and when the watch is polled (ms after the start). Pieces
// of one save come less than the settle time apart but span more than it: the save is handed
// over once, only when the last piece has been quiet for the settle time.
struct Step {
    enum Action { Nothing, Append, Truncate, Create, Remove, Other } action;
    int at;                            // ms
    std::vector<const char*> expected; // handed over at this poll
};

TEST(ShaderWatch, HandsOverEachSaveOnceAfterItsLastPieceHasSettled) {
    const int settle = int(kShaderSettle.count()), gap = settle * 4 / 5; // 50 ms, 40 ms
    const struct Case {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"a save in four pieces",
         {{Step::Append, 0, {}},
          {Step::Nothing, gap, {}},
          {Step::Append, gap + 5, {}},
          {Step::Nothing, 2 * gap + 5, {}},
          {Step::Append, 2 * gap + 10, {}},
          {Step::Nothing, 2 * gap + 10 + settle - 1, {}},
          {Step::Append, 3 * gap + 15, {}},
          {Step::Nothing, 3 * gap + 15 + settle - 1, {}},
          {Step::Nothing, 3 * gap + 15 + settle, {"a.hlsl"}},
          {Step::Nothing, 1000, {}}}},
        {"truncated first, written later",
         {{Step::Truncate, 0, {}},
          {Step::Nothing, gap, {}},
          {Step::Append, gap, {}},
          {Step::Nothing, gap + settle - 1, {}},
          {Step::Nothing, gap + settle, {"a.hlsl"}}}},
        {"a new include while a file is saved, a note that is no shader",
         {{Step::Append, 0, {}},
          {Step::Create, gap, {}},
          {Step::Other, gap + settle, {"a.hlsl", "b.hlsli"}},
          {Step::Other, 1000, {}}}},
        {"a removed file", {{Step::Remove, 0, {}}, {Step::Nothing, settle, {"old.hlsli"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path dir =
            fs::temp_directory_path() / ("quavel_watch_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "a.hlsl") << "float a;";
        std::ofstream(dir / "old.hlsli") << "float o;";
        ShaderWatch watch(dir.string());
        const auto t = ShaderWatch::Clock::now();
        for (const Step& step : c.steps) {
            switch (step.action) {
            case Step::Nothing:
                break;
            case Step::Append:
                std::ofstream(dir / "a.hlsl", std::ios::app) << " float b;";
                break;
            case Step::Truncate:
                std::ofstream(dir / "a.hlsl", std::ios::trunc).flush();
                break;
            case Step::Create:
                std::ofstream(dir / "b.hlsli") << "float c;";
                break;
            case Step::Remove:
                fs::remove(dir / "old.hlsli");
                break;
            case Step::Other:
                std::ofstream(dir / "notes.txt", std::ios::app) << "not a shader";
                break;
            }
            std::vector<std::string> changed = watch.poll(t + std::chrono::milliseconds(step.at));
            std::sort(changed.begin(), changed.end());
            std::vector<std::string> expected;
            for (const char* name : step.expected)
                expected.push_back((dir / name).string());
            EXPECT_EQ(changed, expected) << "at " << step.at << " ms";
        }
        fs::remove_all(dir);
    }
}

// A save that keeps the file's size and time (a coarse clock: one second through the C runtime
// on Windows) is still seen while that time is recent; rewriting the same bytes is not a change.
TEST(ShaderWatch, SeesASaveThatKeepsSizeAndTime) {
    const fs::path dir =
        fs::temp_directory_path() / ("quavel_watch_same_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "a.hlsl";
    std::ofstream(file) << "float a = 1;";
    const fs::file_time_type written = fs::last_write_time(file);
    ShaderWatch watch(dir.string());
    const auto t = ShaderWatch::Clock::now();
    struct Save {
        const char* text;
        bool seen;
    };
    const Save saves[] = {
        {"float a = 2;", true},  // same size, same time, other bytes
        {"float a = 2;", false}, // the same bytes again
        {"float b = 2;", true},
    };
    auto when = t;
    for (const Save& save : saves) {
        std::ofstream(file, std::ios::trunc) << save.text;
        fs::last_write_time(file, written);
        when += 1s;
        EXPECT_TRUE(watch.poll(when).empty());
        when += 2 * kShaderSettle;
        EXPECT_EQ(watch.poll(when).size(), save.seen ? 1u : 0u) << save.text;
    }
    fs::remove_all(dir);
}
