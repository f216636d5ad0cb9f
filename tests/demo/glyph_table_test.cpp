// The glyph table as the layout shader and the C++ side see it, against the atlases it indexes
// and the embedded message.

#include "decoded_image.h"
#include "demo/glyph_table.h"

#include <gtest/gtest.h>

namespace {

TEST(GlyphTable, EveryGlyphFitsItsAtlasRowWithoutOverlap) {
    for (int code = 0; code < glyphTableSize; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        const GlyphEntry& g = glyphTable[code];
        EXPECT_GE(g.row, 0);
        EXPECT_LE(g.row, 5);
        EXPECT_GE(g.width, 90);
        EXPECT_LE(g.width, 720);
        EXPECT_GE(g.x, 0);
        EXPECT_LE(g.x + g.width, 4096);
        for (int other = 0; other < code; ++other) {
            const GlyphEntry& o = glyphTable[other];
            bool overlap = o.row == g.row && o.x < g.x + g.width && g.x < o.x + o.width;
            EXPECT_FALSE(overlap) << "overlaps code " << other;
        }
    }
    // The spacing pair of code 19 takes back exactly one standard cell.
    EXPECT_EQ(glyphTable[19].width, 180);
}

// Linear filtering reads half a texel past a quad's edge: a glyph's first and last columns must
// be empty so no neighbour bleeds in, and every printable glyph must have ink.
TEST(GlyphTable, GlyphInkStaysInsideItsCell) {
    DecodedImage atlases[2] = {decodePng(assetPath("letterAtlas.png")),
                               decodePng(assetPath("letterAtlas2.png"))};
    ASSERT_EQ(atlases[0].width, 4096);
    ASSERT_EQ(atlases[1].width, 4096);
    for (int code = 0; code < glyphTableSize; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        const GlyphEntry& g = glyphTable[code];
        const DecodedImage& atlas = atlases[g.row / 3];
        int top = (g.row % 3) * glyphAtlasRowHeight;
        float edgeInk = 0, ink = 0;
        for (int y = top; y < top + glyphAtlasRowHeight; ++y) {
            edgeInk += atlas.mean(g.x, y) + atlas.mean(g.x + g.width - 1, y);
            for (int x = g.x; x < g.x + g.width; x += 3) {
                ink += atlas.mean(x, y);
            }
        }
        EXPECT_EQ(edgeInk, 0.0f);
        if (code == 0) {
            EXPECT_EQ(ink, 0.0f) << "the space is empty";
        } else {
            EXPECT_GT(ink, 50.0f);
        }
    }
}

TEST(ScrollMessage, HoldsExactly1569KnownCodes) {
    std::vector<std::uint8_t> bytes = readBytes(assetPath("scroll_message.codes"));
    ASSERT_EQ(bytes.size(), 1569u * 4u);
    int printable = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::int32_t code = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(bytes[i]) | static_cast<std::uint32_t>(bytes[i + 1]) << 8 |
            static_cast<std::uint32_t>(bytes[i + 2]) << 16 |
            static_cast<std::uint32_t>(bytes[i + 3]) << 24);
        EXPECT_GE(code, 0) << "index " << i / 4;
        EXPECT_LT(code, glyphTableSize) << "index " << i / 4;
        printable += code != 0;
    }
    // A real text, not padding.
    EXPECT_GT(printable, 1000);
}

} // namespace
