// The shader folder's watch: a save, a new file and a removed one are handed over once, only
// after the folder has been quiet for the settle time; other files are not watched.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <unistd.h>

#include "app/shader_watch.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(ShaderWatch, HandsOverEachChangeOnceWhenTheFolderIsQuiet) {
    const fs::path dir = fs::temp_directory_path() / ("quavel_watch_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "a.hlsl") << "float a;";
    ShaderWatch watch(dir.string());
    const auto t = ShaderWatch::Clock::now();
    EXPECT_TRUE(watch.poll(t + 1s).empty()); // nothing changed since the start

    std::ofstream(dir / "a.hlsl") << "float a; float b;"; // saved in two writes
    EXPECT_TRUE(watch.poll(t + 2s).empty());
    std::ofstream(dir / "b.hlsli") << "float c;";
    std::ofstream(dir / "notes.txt") << "not a shader";
    EXPECT_TRUE(watch.poll(t + 2s + kShaderSettle - 1ms).empty()); // b.hlsli is new: wait again
    std::vector<std::string> changed = watch.poll(t + 2s + 2 * kShaderSettle);
    std::sort(changed.begin(), changed.end());
    EXPECT_EQ(changed,
              (std::vector<std::string>{(dir / "a.hlsl").string(), (dir / "b.hlsli").string()}));
    EXPECT_TRUE(watch.poll(t + 3s).empty());

    fs::remove(dir / "b.hlsli");
    EXPECT_TRUE(watch.poll(t + 4s).empty());
    EXPECT_EQ(watch.poll(t + 5s), std::vector<std::string>{(dir / "b.hlsli").string()});
    fs::remove_all(dir);
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
