// The building blocks of the generators: PNG packing, palette reduction, distance fields and
// text decoding.

#include "decoded_image.h"
#include "distance_field.h"
#include "font_renderer.h"
#include "palette_quantizer.h"
#include "png_writer.h"
#include "screen_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

using namespace pictures;

namespace {

std::string tempPng(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("quavel-") + std::to_string(::getpid()) + "-" + name))
        .string();
}

// Odd widths leave partly filled bytes at the end of each row: the packing must not let one
// row's bits run into the next.
TEST(PngWriter, LowDepthGreyDecodesToTheSameLevels) {
    const int w = 13, h = 5;
    for (int depth : {1, 2, 4, 8}) {
        SCOPED_TRACE(depth);
        const int top = (1 << depth) - 1;
        std::vector<std::uint8_t> levels;
        for (int i = 0; i < w * h; ++i) {
            levels.push_back(static_cast<std::uint8_t>((i * 7 + i / w) % (top + 1)));
        }
        std::string path = tempPng("grey.png"), error;
        ASSERT_TRUE(writeGreyPng(path, w, h, levels, depth, 0, error)) << error;
        DecodedImage image = decodePng(path);
        std::remove(path.c_str());
        ASSERT_EQ(image.width, w);
        for (int i = 0; i < w * h; ++i) {
            const std::uint8_t* p = image.at(i % w, i / w);
            EXPECT_EQ(p[0], levels[static_cast<std::size_t>(i)] * 255 / top) << i;
            // Level 0 is the transparent key.
            EXPECT_EQ(p[3], levels[static_cast<std::size_t>(i)] == 0 ? 0 : 255) << i;
        }
    }
    std::string error;
    EXPECT_FALSE(writeGreyPng(tempPng("bad.png"), 2, 1, {0, 2}, 1, std::nullopt, error));
    EXPECT_FALSE(writeGreyPng(tempPng("bad.png"), 3, 1, {0, 1}, 1, std::nullopt, error));
}

TEST(PaletteQuantizer, KeepsFewColoursExactlyAndTransparencyExact) {
    Canvas c(40, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (x > 5) {
                c.at(x, y) = {x % 3 / 2.0f, y % 2 * 1.0f, 0.5f, x % 4 == 0 ? 0.5f : 1.0f};
            }
        }
    }
    IndexedPicture q = quantize(c, 16);
    ASSERT_LE(q.palette.size(), 16u);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const PaletteEntry& e = q.palette[q.indices[static_cast<std::size_t>(y * 40 + x)]];
            EXPECT_TRUE(e == toEntry(c.at(x, y))) << x << ", " << y;
        }
    }
    // Entries that are not opaque come first, so the transparency chunk stays short.
    EXPECT_LT(q.palette.front().a, 255);
    EXPECT_EQ(q.palette.back().a, 255);
}

TEST(PaletteQuantizer, ReducesAGradientWithinBudgetAndNeverToTransparent) {
    Canvas c(256, 8);
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 8; ++y) {
            c.at(x, y) = {x / 255.0f, 1.0f - x / 255.0f, 0.25f, y == 0 ? 0.0f : 1.0f};
        }
    }
    IndexedPicture q = quantize(c, 16);
    ASSERT_LE(q.palette.size(), 16u);
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 8; ++y) {
            const PaletteEntry& e = q.palette[q.indices[static_cast<std::size_t>(y * 256 + x)]];
            EXPECT_EQ(e.a == 0, y == 0) << x << ", " << y;
            if (y > 0) {
                EXPECT_LT(std::abs(int(e.r) - x), 20) << x;
            }
        }
    }
}

TEST(DistanceField, MatchesBruteForce) {
    Plane set(23, 17);
    const int points[][2] = {{3, 4}, {20, 2}, {11, 15}, {12, 8}};
    for (const auto& p : points) {
        set.at(p[0], p[1]) = 1.0f;
    }
    Plane d = distanceToSet(set, 0.5f);
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 23; ++x) {
            float best = 1e9f;
            for (const auto& p : points) {
                best = std::min(best, std::hypot(float(x - p[0]), float(y - p[1])));
            }
            EXPECT_NEAR(d.at(x, y), best, 1e-4f) << x << ", " << y;
        }
    }
    Plane disc(21, 21);
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 21; ++x) {
            disc.at(x, y) = std::hypot(x - 10.0f, y - 10.0f) <= 6.0f ? 1.0f : 0.0f;
        }
    }
    Plane sd = signedDistance(disc);
    EXPECT_LT(sd.at(10, 10), -5.0f);
    EXPECT_GT(sd.at(0, 0), 7.0f);
    EXPECT_NEAR(sd.at(16, 10), -0.5f, 1e-4f); // last pixel inside
    EXPECT_NEAR(sd.at(17, 10), 0.5f, 1e-4f);  // first pixel outside
}

TEST(Utf8, DecodesAndReplacesBrokenBytes) {
    EXPECT_EQ(decodeUtf8("A\xC3\x9C\xE2\x99\xA5"), (std::vector<int>{'A', 0xDC, 0x2665}));
    EXPECT_EQ(decodeUtf8("\xC3"), (std::vector<int>{0xFFFD}));
    EXPECT_EQ(decodeUtf8("\xFFZ"), (std::vector<int>{0xFFFD, 'Z'}));
    EXPECT_EQ(decodeUtf8("\xE2\x99Z"), (std::vector<int>{0xFFFD, 0xFFFD, 'Z'}));
}

} // namespace

namespace {

// The overlay placement the generators draw for: the logo at native size, centred
// horizontally, its own point y = 0.14 fixed on screen; the glow mask mirrored below it.
TEST(ScreenPlacement, LogoAndGlowMaskLandWhereTheShadersPutThem) {
    using namespace pictures::screen;
    Point topLeft = logoPictureToScreen({0, 0}), bottomRight = logoPictureToScreen({1, 1});
    EXPECT_NEAR(topLeft.x * width, 418.0f, 0.01f);
    EXPECT_NEAR(bottomRight.x * width, 1182.0f, 0.01f);
    EXPECT_NEAR(topLeft.y * height, 77.28f, 0.01f);
    EXPECT_NEAR(bottomRight.y * height, 425.28f, 0.01f);
    Point back = screenToLogoPicture(logoPictureToScreen({0.3f, 0.7f}));
    EXPECT_NEAR(back.x, 0.3f, 1e-5f);
    EXPECT_NEAR(back.y, 0.7f, 1e-5f);
    // The glow mask's first row sits at screen y 0.5275, below every star.
    EXPECT_NEAR(glowPictureToScreen({0, 0}).y, 0.5275f, 1e-4f);
    for (const Star& s : glowStars) {
        EXPECT_LT(s.centre.y + glowReach(s.intensity), 0.5275f);
        EXPECT_GT(glowReach(s.intensity), 0.05f);
    }
}

} // namespace
