// The golden-frame rule that the golden-frames test and quavel1 --check judge frames by (the
// tolerance, the share and the masks: golden_references_test.cpp).
#include "app/check/tile_compare.h"

#include <gtest/gtest.h>

namespace {

// A frame whose every tile has a mean of its own: a neighbouring tile (or channel) never
// stands in for it unnoticed.
std::vector<std::uint8_t> patternFrame() {
    std::vector<std::uint8_t> rgba(std::size_t(kGoldenWidth) * kGoldenHeight * 4, 255);
    for (int y = 0; y < kGoldenHeight; ++y)
        for (int x = 0; x < kGoldenWidth; ++x)
            for (int c = 0; c < 3; ++c)
                rgba[(std::size_t(y) * kGoldenWidth + x) * 4 + c] =
                    std::uint8_t((x / kTile * 37 + y / kTile * 101 + c * 71) % 256);
    return rgba;
}

TEST(TileCompare, AFrameMatchesItsOwnTileMeansTileForTile) {
    const auto rgba = patternFrame();
    const Tiles tiles = tileMeans(rgba.data(), kGoldenWidth, kGoldenHeight);
    ASSERT_EQ(tiles.size(), std::size_t(kTilesX) * kTilesY * 3);
    EXPECT_EQ(tiles[(5 * kTilesX + 7) * 3 + 1], (7 * 37 + 5 * 101 + 71) % 256);
    const TileComparison c = compareTiles(tiles, tiles, {});
    EXPECT_TRUE(c.matches);
    EXPECT_EQ(c.tilesWithin, kTilesX * kTilesY);
    EXPECT_EQ(c.worst.difference(), 0);
    EXPECT_TRUE(tileMeans(rgba.data(), kGoldenWidth - 1, kGoldenHeight).empty());
}

TEST(TileCompare, NamesTheWorstTileWithItsPixels) {
    const Tiles want(std::size_t(kTilesX) * kTilesY * 3, 50);
    Tiles got = want;
    got[(std::size_t(42) * kTilesX + 129) * 3 + 1] = 90;
    const TileComparison c = compareTiles(got, want, {});
    EXPECT_EQ(describeSpot(c.worst), "tile 129,42 (pixels 1290-1299 x 420-429) green 90 for 50");
    EXPECT_EQ(c.tilesWithin, kTilesX * kTilesY - 1);
}

} // namespace
