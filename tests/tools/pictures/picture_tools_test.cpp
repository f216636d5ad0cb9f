// The building blocks of the generators where a fault would not show in the committed files
// (which the regeneration test compares byte for byte): PNG depths the generators do not use,
// broken UTF-8 and the overlay placement.

#include "decoded_image.h"
#include "font_renderer.h"
#include "png_writer.h"
#include "screen_placement.h"

#include <gtest/gtest.h>

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
