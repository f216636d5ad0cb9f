// The nine embedded pictures as the engine will see them: sizes, borders that the clamping
// samplers stretch across the screen, and the composite's alpha budget.

#include "decoded_image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Expected {
    const char* file;
    int width, height;
};

constexpr Expected pictures[] = {
    {"logoTex.png", 764, 348},    {"logoTex2.png", 764, 348},      {"logoTex3.png", 764, 348},
    {"logoTex4.png", 764, 348},   {"glowstuffmap.png", 764, 348},  {"heartImage.png", 764, 348},
    {"CredsImage.png", 1196, 68}, {"letterAtlas.png", 4096, 3318}, {"letterAtlas2.png", 4096, 3318},
};

TEST(EmbeddedPictures, DecodeToTheirSizesAndStaySmall) {
    for (const Expected& e : pictures) {
        SCOPED_TRACE(e.file);
        std::size_t bytes = readBytes(assetPath(e.file)).size();
        DecodedImage image = decodePng(assetPath(e.file));
        EXPECT_EQ(image.width, e.width);
        EXPECT_EQ(image.height, e.height);
        EXPECT_LT(bytes, 400u * 1024u);
    }
}

// Outside the picture the clamping sampler repeats the border pixels over the rest of the
// screen, so every overlay's border must add nothing: transparent for the alpha-weighted
// overlays, black for the additive credits strip.
TEST(EmbeddedPictures, BordersAddNothingWhenStretched) {
    for (const char* file : {"logoTex.png", "logoTex2.png", "logoTex3.png", "heartImage.png"}) {
        SCOPED_TRACE(file);
        DecodedImage image = decodePng(assetPath(file));
        for (int x = 0; x < image.width; ++x) {
            EXPECT_EQ(image.at(x, 0)[3], 0) << "top, x " << x;
            EXPECT_EQ(image.at(x, image.height - 1)[3], 0) << "bottom, x " << x;
        }
        for (int y = 0; y < image.height; ++y) {
            EXPECT_EQ(image.at(0, y)[3], 0) << "left, y " << y;
            EXPECT_EQ(image.at(image.width - 1, y)[3], 0) << "right, y " << y;
        }
    }
    DecodedImage credits = decodePng(assetPath("CredsImage.png"));
    for (int x = 0; x < credits.width; ++x) {
        for (int y : {0, credits.height - 1}) {
            EXPECT_EQ(credits.mean(x, y), 0.0f) << "credits border " << x << ", " << y;
        }
    }
    for (int y = 0; y < credits.height; ++y) {
        for (int x : {0, credits.width - 1}) {
            EXPECT_EQ(credits.mean(x, y), 0.0f) << "credits border " << x << ", " << y;
        }
    }
}

// psComposite weighs the picture below the logo by 1 - (glass alpha + logo alpha) with glass
// opacity up to 1: the glass must leave the letters free or the background turns negative.
TEST(EmbeddedPictures, GlassAndLogoNeverCoverMoreThanOnce) {
    DecodedImage logo = decodePng(assetPath("logoTex.png"));
    for (const char* glassFile : {"logoTex2.png", "logoTex3.png"}) {
        SCOPED_TRACE(glassFile);
        DecodedImage glass = decodePng(assetPath(glassFile));
        int glassPixels = 0, overflow = 0;
        for (int y = 0; y < logo.height; ++y) {
            for (int x = 0; x < logo.width; ++x) {
                glassPixels += glass.alpha(x, y) > 0;
                overflow += glass.alpha(x, y) + logo.alpha(x, y) > 1.0f + 1.0f / 255.0f;
            }
        }
        EXPECT_EQ(overflow, 0);
        // Glass that is there at all: a visible share of the picture, not a stray pixel.
        EXPECT_GT(glassPixels, logo.width * logo.height / 10);
    }
}

// The raster bars show through the letters while Brokenlogo is 1: red at or above 0.5 marks
// them, alpha weighs them; everywhere else the star glow may show. The red part must sit on the
// logo's opaque letters.
TEST(EmbeddedPictures, RasterMaskLiesOnTheLetters) {
    DecodedImage mask = decodePng(assetPath("logoTex4.png"));
    DecodedImage logo = decodePng(assetPath("logoTex.png"));
    int raster = 0, offLetters = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            bool shows = mask.at(x, y)[0] >= 128;
            EXPECT_EQ(mask.alpha(x, y) > 0.5f, shows) << x << ", " << y;
            raster += shows;
            offLetters += shows && logo.alpha(x, y) < 1.0f;
        }
    }
    EXPECT_GT(raster, 20000);
    EXPECT_EQ(offLetters, 0);
}

// The credits strip is waved in columns of 13 screen pixels (52 picture pixels): a letter that
// crossed a column edge would tear apart. Each column's first screen pixel stays black, and the
// strip holds one letter per column at most.
TEST(EmbeddedPictures, CreditsLetteringKeepsToTheWavedColumns) {
    DecodedImage credits = decodePng(assetPath("CredsImage.png"));
    ASSERT_EQ(credits.width, 299 * 4);
    int columnsWithInk = 0;
    for (int column = 0; column < 23; ++column) {
        float edge = 0, ink = 0;
        for (int y = 0; y < credits.height; ++y) {
            for (int x = column * 52; x < column * 52 + 4; ++x) {
                edge += credits.mean(x, y);
            }
            for (int x = column * 52; x < column * 52 + 52; ++x) {
                ink += credits.mean(x, y);
            }
        }
        EXPECT_EQ(edge, 0.0f) << "column " << column;
        columnsWithInk += ink > 0;
    }
    EXPECT_GE(columnsWithInk, 15);
    // Drawn on the screen-pixel grid: every 4 x 4 block is one colour.
    for (int y = 0; y < credits.height; ++y) {
        for (int x = 0; x < credits.width; ++x) {
            const std::uint8_t* p = credits.at(x, y);
            const std::uint8_t* q = credits.at(x / 4 * 4, y / 4 * 4);
            ASSERT_TRUE(p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) << x << ", " << y;
        }
    }
}

// Glyph coverage is the mean of the channels; a grey atlas keeps the three channels equal and
// leaves every row's top and bottom edge empty, so linear filtering cannot bleed between rows.
TEST(EmbeddedPictures, AtlasesAreGreyWithEmptyRowEdges) {
    for (const char* file : {"letterAtlas.png", "letterAtlas2.png"}) {
        SCOPED_TRACE(file);
        DecodedImage atlas = decodePng(assetPath(file));
        bool grey = true;
        for (std::size_t i = 0; i < atlas.rgba.size(); i += 4) {
            grey = grey && atlas.rgba[i] == atlas.rgba[i + 1] && atlas.rgba[i] == atlas.rgba[i + 2];
        }
        EXPECT_TRUE(grey);
        for (int row = 0; row < 3; ++row) {
            for (int y : {row * 1106, row * 1106 + 1105}) {
                float ink = 0;
                for (int x = 0; x < atlas.width; ++x) {
                    ink += atlas.mean(x, y);
                }
                EXPECT_EQ(ink, 0.0f) << "atlas row " << row << ", pixel row " << y;
            }
        }
    }
}

} // namespace
