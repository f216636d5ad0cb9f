// The PNG folder of a capture: only names of the frame form count as frames. Look-alikes
// (another prefix, letter case, digit count or suffix, a hidden unfinished file, a folder named
// like a frame) are not counted as another capture's frames, not removed by --overwrite and not
// joined (the join lists frames by the same rule).
#include "capture_outputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

TEST(CaptureOutputs, OnlyFrameNamesOfRegularFilesAreFrames) {
    const struct Entry {
        const char* name;
        bool folder;
        std::int64_t frame; // -1: not a frame
    } entries[] = {
        {"frame_000001.png", false, 1},       {"frame_1234567.png", false, 1234567},
        {"frame_000002.png", true, -1},       {"image_0001.png", false, -1},
        {"frame_12.png.bak", false, -1},      {"frame_000003.PNG", false, -1},
        {"frame_12.png", false, -1},          {"frame_0000004.png", false, -1},
        {"frame_-00005.png", false, -1},      {".frame_000006.png.partial-Ab12cd", false, -1},
        {"frame_000007.png.rgba", false, -1},
    };
    tooltest::ScratchFolder dir;
    const std::string folder = dir.path("frames");
    fs::create_directories(folder);
    std::map<std::int64_t, std::string> frames;
    std::vector<std::string> lookAlikes;
    for (const Entry& e : entries) {
        const std::string path = folder + "/" + e.name;
        if (e.folder)
            fs::create_directories(path + "/inside");
        else
            tooltest::writeText(path, "x");
        if (e.frame >= 0)
            frames[e.frame] = path;
        else
            lookAlikes.push_back(e.name);
    }
    std::sort(lookAlikes.begin(), lookAlikes.end());
    EXPECT_EQ(frameFilesIn(folder, ".png"), frames);

    std::string error;
    EXPECT_FALSE(prepareFrameFolder(folder, nullptr, false, error));
    EXPECT_NE(error.find("already holds 2 frames"), std::string::npos) << error;
    ASSERT_TRUE(prepareFrameFolder(folder, nullptr, true, error)) << error;
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(folder))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, lookAlikes) << "--overwrite removed a look-alike or left a frame";
    EXPECT_TRUE(fs::exists(folder + "/frame_000002.png/inside"));
}

} // namespace
