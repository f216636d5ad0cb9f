// The capture tool as a process: a capture that starts later, and a render split into parts
// run by GNU parallel and joined, give byte for byte the frames of a continuous render. The
// renders run at a fraction of a frame per second so that few frames reach far into the show:
// the pyramid turns from 4 s on, particles spawn from 20.2 s on.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <stb/stb_image.h> // implemented by the engine
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

using tooltest::runTool;
using Outcome = tooltest::ToolRun;

Outcome capture(const std::string& arguments) {
    return runTool(std::string(QUAVEL1_CAPTURE) + " " + arguments);
}

fs::path scratch(const char* name) {
    fs::path dir = fs::temp_directory_path() /
                   ("quavel1-capture-grid-test-" + std::to_string(getpid())) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::vector<unsigned char> pixels(const fs::path& png, int& width, int& height) {
    int channels = 0;
    unsigned char* data = stbi_load(png.c_str(), &width, &height, &channels, 4);
    std::vector<unsigned char> rgba;
    if (data)
        rgba.assign(data, data + std::size_t(width) * height * 4);
    stbi_image_free(data);
    return rgba;
}

// Bytes in which two frames differ (-1 when either cannot be read or the sizes differ).
long differingBytes(const fs::path& a, const fs::path& b) {
    int wa = 0, ha = 0, wb = 0, hb = 0;
    const auto pa = pixels(a, wa, ha), pb = pixels(b, wb, hb);
    if (pa.empty() || pa.size() != pb.size())
        return -1;
    long n = 0;
    for (std::size_t i = 0; i < pa.size(); ++i)
        n += pa[i] != pb[i];
    return n;
}

std::string frameName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.png", n);
    return name;
}

TEST(CaptureGrid, LaterStartGivesTheFramesOfAContinuousRun) {
    // A frame shows the pyramid and particle state written in the frame before it. Grid
    // frame 4 at 0.125 fps (32 s) shows the particles spawned in replayed frame 3 (24 s);
    // frame 5 shows the pyramid turned by the rendered frame 4, with its frame counter.
    // --start 30 lands on frame 4.
    const fs::path continuous = scratch("continuous"), later = scratch("later");
    Outcome whole = capture("--fps 0.125 --frames 6 --out " + continuous.string());
    ASSERT_EQ(whole.status, 0) << whole.output;
    Outcome two = capture("--fps 0.125 --start 30 --frames 2 --out " + later.string());
    ASSERT_EQ(two.status, 0) << two.output;
    EXPECT_FALSE(fs::exists(later / frameName(3)));
    for (int n = 4; n <= 5; ++n)
        EXPECT_EQ(differingBytes(continuous / frameName(n), later / frameName(n)), 0)
            << "grid frame " << n;
    if (!HasFailure())
        for (const fs::path& dir : {continuous, later})
            fs::remove_all(dir);
}

TEST(CaptureGrid, PartsRunByParallelJoinToTheOnePieceRender) {
    // Grid frames 5 to 8 at 0.25 fps (20 to 32 s) in one piece, and in three parts (5-6, 7, 8)
    // rendered by GNU parallel into one folder: parts 2 and 3 replay the particle spawns of
    // frames 6 and 7 that they do not draw.
    const std::string range = "--fps 0.25 --start 20 --frames 4";
    const fs::path onePiece = scratch("one-piece"), parts = scratch("parts");
    Outcome one = capture(range + " --out " + onePiece.string());
    ASSERT_EQ(one.status, 0) << one.output;
    Outcome split = runTool("JOBS=2 CAPTURE=" QUAVEL1_CAPTURE " " RENDER_PARALLEL " 3 " +
                            parts.string() + " " + range);
    ASSERT_EQ(split.status, 0) << split.output;
    for (int n = 5; n <= 8; ++n)
        EXPECT_EQ(differingBytes(onePiece / frameName(n), parts / frameName(n)), 0)
            << "grid frame " << n;
    EXPECT_FALSE(fs::exists(parts / frameName(4)));
    EXPECT_FALSE(fs::exists(parts / frameName(9)));

    // The lossless join holds the same pictures, and the soundtrack of 20 to 36 s once.
    const fs::path video = parts.parent_path() / "joined.mkv";
    Outcome join = capture("--join " + parts.string() + " --out " + video.string());
    ASSERT_EQ(join.status, 0) << join.output;
    const fs::path decoded = scratch("decoded");
    const fs::path sound = decoded / "sound.wav";
    ASSERT_EQ(runTool("ffmpeg -v error -i " + video.string() + " -map 0:a -c:a pcm_s16le " +
                      sound.string())
                  .status,
              0);
    const double seconds = (fs::file_size(sound) - 44.0) / (44100 * 4);
    EXPECT_NEAR(seconds, 16.0, 0.05);
    ASSERT_EQ(runTool("ffmpeg -v error -i " + video.string() + " -map 0:v -start_number 5 " +
                      (decoded / "frame_%06d.png").string())
                  .status,
              0);
    for (int n = 5; n <= 8; ++n) {
        int w = 0, h = 0;
        auto expected = pixels(onePiece / frameName(n), w, h),
             got = pixels(decoded / frameName(n), w, h);
        ASSERT_EQ(expected.size(), got.size()) << "grid frame " << n;
        long differing = 0;
        for (std::size_t i = 0; i < got.size(); ++i)
            differing += i % 4 != 3 && expected[i] != got[i]; // the video keeps no alpha
        EXPECT_EQ(differing, 0) << "grid frame " << n;
    }
    if (!HasFailure())
        for (const fs::path& dir : {onePiece, parts, decoded, video})
            fs::remove_all(dir);
}

void writeFrame(const fs::path& folder, int n, int width) {
    std::vector<unsigned char> rgba(std::size_t(width) * 4 * 4, 200);
    stbi_write_png((folder / frameName(n)).c_str(), width, 4, 4, rgba.data(), width * 4);
}

TEST(CaptureGrid, JoinRefusesGapsMissingPartsAndOddSizes) {
    // A record of a 10-frame render from grid frame 20 in 4 parts (20-22, 23-25, 26-27, 28-29).
    const fs::path folder = scratch("incomplete");
    std::ofstream(folder / "quavel1-render.txt") << "fps 30\nfirst 20\ncount 10\nparts 4\n";
    for (int n = 20; n < 30; ++n)
        if (n != 24 && n < 28)
            writeFrame(folder, n, 8);
    // Look-alikes of the missing frames are not frames: a folder, another letter case.
    fs::create_directories(folder / "frame_000024.png");
    std::ofstream(folder / "frame_000028.PNG") << "x";
    const std::string join =
        "--join " + folder.string() + " --out " + (folder.parent_path() / "never.mkv").string();
    Outcome gaps = capture(join);
    EXPECT_EQ(gaps.status, 1);
    EXPECT_NE(gaps.output.find("3 frames are missing"), std::string::npos) << gaps.output;
    EXPECT_NE(gaps.output.find("24, 28-29"), std::string::npos) << gaps.output;
    EXPECT_NE(gaps.output.find("2/4 (frames 23-25), 4/4 (frames 28-29)"), std::string::npos)
        << gaps.output;

    fs::remove(folder / "frame_000024.png");
    writeFrame(folder, 24, 8);
    writeFrame(folder, 28, 6);
    writeFrame(folder, 29, 8);
    Outcome sizes = capture(join);
    EXPECT_EQ(sizes.status, 1);
    EXPECT_NE(sizes.output.find("grid frames 28 (e.g. 6x4)"), std::string::npos) << sizes.output;

    Outcome rate = capture(join + " --fps 60");
    EXPECT_EQ(rate.status, 1);
    EXPECT_NE(rate.output.find("30"), std::string::npos) << rate.output;
    EXPECT_FALSE(fs::exists(folder.parent_path() / "never.mkv"));

    // Part videos are found whatever the letter case of their extension.
    const fs::path videos = scratch("part-videos");
    std::ofstream(videos / "quavel1-render.txt") << "fps 30\nfirst 0\ncount 10\nparts 2\n";
    std::ofstream(videos / "clip.part-1-of-2.MP4") << "x";
    Outcome part = capture("--join " + videos.string() + " --out " +
                           (videos.parent_path() / "never.mp4").string());
    EXPECT_EQ(part.status, 1);
    EXPECT_NE(part.output.find("parts missing from " + videos.string() + ": 2/2"),
              std::string::npos)
        << part.output;
    if (!HasFailure()) {
        fs::remove_all(folder);
        fs::remove_all(videos);
    }
}

} // namespace
