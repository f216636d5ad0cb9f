// The show's picture as a whole: a few moments rendered by the capture tool and compared with
// committed reference frames (tests/show/golden/), so that a swapped input slot, a changed
// blend mode or a changed constant in any pass shows even when each program alone is right.
//
// The moments and the rule (10 x 10 tile means within a tolerance) are those of
// app/check/golden_moments.h, which quavel1 --check uses too. Regenerate the references after a
// deliberate change of the picture with `scripts/golden-frames` and look at them before committing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/check/golden_moments.h"
#include "app/check/tile_compare.h"
#include <stb/stb_image.h> // implemented by the engine
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

using Moment = GoldenMoment;

// Names the moment in test listings instead of dumping its bytes.
void PrintTo(const Moment& m, std::ostream* os) {
    *os << m.name << " at " << m.start << " s";
}

// The frame's tile means, or empty.
Tiles tiles(const fs::path& capture) {
    int w = 0, h = 0, channels = 0;
    unsigned char* rgba = stbi_load(capture.c_str(), &w, &h, &channels, 4);
    Tiles result = tileMeans(rgba, w, h);
    stbi_image_free(rgba);
    return result;
}

fs::path reference(const Moment& m) {
    return fs::path(GOLDEN_FRAMES_DIR) / (std::string(m.name) + ".png");
}

class GoldenFrames : public ::testing::TestWithParam<Moment> {};

TEST_P(GoldenFrames, MatchesTheReferenceFrame) {
    const Moment& m = GetParam();
    const fs::path out =
        fs::temp_directory_path() / ("quavel1-golden-" + std::to_string(getpid())) / m.name;
    fs::remove_all(out);
    char arguments[160];
    std::snprintf(arguments, sizeof arguments, " --start %.4f --frames 1 --fps %g --out ", m.start,
                  kGoldenFps);
    const std::string command =
        std::string(QUAVEL1_CAPTURE) + arguments + out.string() + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    // The one frame written, named by its grid index.
    fs::path last;
    for (const auto& entry : fs::directory_iterator(out))
        if (entry.path().extension() == ".png")
            last = entry.path().filename();
    ASSERT_FALSE(last.empty()) << "no frame in " << out;
    const Tiles got = tiles(out / last);
    ASSERT_FALSE(got.empty()) << out / last;

    if (std::getenv("QUAVEL_UPDATE_GOLDEN_FRAMES")) {
        ASSERT_TRUE(
            stbi_write_png(reference(m).c_str(), kTilesX, kTilesY, 3, got.data(), kTilesX * 3));
        std::printf("wrote %s (full frame: %s)\n", reference(m).c_str(), (out / last).c_str());
        return;
    }

    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(reference(m).c_str(), &w, &h, &channels, 3);
    ASSERT_NE(pixels, nullptr) << "no reference frame " << reference(m);
    const Tiles want(pixels, pixels + std::size_t(w) * h * 3);
    stbi_image_free(pixels);
    const TileComparison c = compareTiles(got, want, {});
    std::printf("%s: %d tile channels off, worst %s\n", m.name, c.channelsOff,
                describeSpot(c.worst).c_str());
    std::string first;
    for (const TileSpot& spot : c.firstOff)
        first += " " + describeSpot(spot) + ";";
    const bool close = c.matches;
    EXPECT_TRUE(close) << c.channelsOff << " tile channels off;" << first
                       << " The frame is kept at " << out / last;
    if (close)
        fs::remove_all(out);
}

INSTANTIATE_TEST_SUITE_P(Show, GoldenFrames, ::testing::ValuesIn(kGoldenMoments),
                         [](const ::testing::TestParamInfo<Moment>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
