// The show's picture as a whole: a few moments rendered by the capture tool and compared with
// committed reference frames (tests/show/golden/), so that a swapped input slot, a changed
// blend mode or a changed constant in any pass shows even when each program alone is right.
//
// Frames are compared as means of 10 x 10 pixel tiles (160 x 90 tiles), which keeps the
// references small and smooths the dither noise, yet moves by tens of levels when a layer is
// lost, swapped or blended differently. Regenerate the references after a deliberate change of
// the picture with `scripts/golden-frames` and look at them before committing.
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

#include <stb/stb_image.h> // implemented by the engine
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

// Every moment is one frame of the capture's grid at this rate: the first grid frame at or after
// the moment, with everything before it replayed, as a continuous run shows it.
constexpr double kFps = 60;

struct Moment {
    const char* name;
    double start; // show time, seconds
};

// Names the moment in test listings instead of dumping its bytes.
void PrintTo(const Moment& m, std::ostream* os) {
    *os << m.name << " at " << m.start << " s";
}

// explosion: row 2163.5, all six explosions under way (their dots add up over the pass's 50
//   full-screen triangles) just after the saturation burst, over the broken logo;
// credits: the whole logo under full glass, the credits fading in over the scroller and the
//   pyramid; particles: the broken logo's glow stars and raster glass and the particle stream.
const Moment kMoments[] = {
    {"explosion", 127.2647},
    {"credits", 350.0},
    {"particles", 150.0},
};

constexpr int kTile = 10;
constexpr int kWidth = 1600, kHeight = 900;
constexpr int kTilesX = kWidth / kTile, kTilesY = kHeight / kTile;

// Two renders of the same moment on llvmpipe agree to the last bit; the tolerance leaves room
// for another Mesa's rounding (transcendentals, filtering weights), far below what a lost or
// swapped layer does to a tile.
constexpr double kTileTolerance = 6.0; // levels of 255, per tile and channel
constexpr double kOutlierShare = 0.001;

using Tiles = std::vector<unsigned char>; // kTilesX x kTilesY RGB

bool tiles(const fs::path& capture, Tiles& out) {
    int w = 0, h = 0, channels = 0;
    unsigned char* rgba = stbi_load(capture.c_str(), &w, &h, &channels, 4);
    if (!rgba)
        return false;
    const bool fits = w == kWidth && h == kHeight;
    out.assign(size_t(kTilesX) * kTilesY * 3, 0);
    for (int ty = 0; fits && ty < kTilesY; ++ty)
        for (int tx = 0; tx < kTilesX; ++tx)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int y = ty * kTile; y < (ty + 1) * kTile; ++y)
                    for (int x = tx * kTile; x < (tx + 1) * kTile; ++x)
                        sum += rgba[(size_t(y) * w + x) * 4 + c];
                out[(size_t(ty) * kTilesX + tx) * 3 + c] =
                    (unsigned char)((sum + kTile * kTile / 2) / (kTile * kTile));
            }
    stbi_image_free(rgba);
    return fits;
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
                  kFps);
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
    Tiles got;
    ASSERT_TRUE(tiles(out / last, got)) << out / last;

    if (std::getenv("QUAVEL_UPDATE_GOLDEN_FRAMES")) {
        ASSERT_TRUE(
            stbi_write_png(reference(m).c_str(), kTilesX, kTilesY, 3, got.data(), kTilesX * 3));
        std::printf("wrote %s (full frame: %s)\n", reference(m).c_str(), (out / last).c_str());
        return;
    }

    int w = 0, h = 0, channels = 0;
    unsigned char* want = stbi_load(reference(m).c_str(), &w, &h, &channels, 3);
    ASSERT_NE(want, nullptr) << "no reference frame " << reference(m);
    ASSERT_EQ(w, kTilesX);
    ASSERT_EQ(h, kTilesY);
    int outliers = 0;
    double worst = 0, total = 0;
    std::string first;
    for (size_t i = 0; i < got.size(); ++i) {
        const double d = std::fabs(double(got[i]) - want[i]);
        total += d;
        worst = std::max(worst, d);
        if (d > kTileTolerance && ++outliers <= 5)
            first += " tile " + std::to_string((i / 3) % kTilesX) + "," +
                     std::to_string((i / 3) / kTilesX) + " channel " + std::to_string(i % 3) +
                     ": " + std::to_string(got[i]) + " for " + std::to_string(want[i]) + ";";
    }
    stbi_image_free(want);
    std::printf("%s: %d tile channels off, largest difference %g, mean %g\n", m.name, outliers,
                worst, total / got.size());
    const bool close = outliers <= int(kOutlierShare * got.size());
    EXPECT_TRUE(close) << outliers << " tile channels off; largest difference " << worst
                       << ", mean " << total / got.size() << ";" << first
                       << " The frame is kept at " << out / last;
    if (close)
        fs::remove_all(out);
}

INSTANTIATE_TEST_SUITE_P(Show, GoldenFrames, ::testing::ValuesIn(kMoments),
                         [](const ::testing::TestParamInfo<Moment>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
