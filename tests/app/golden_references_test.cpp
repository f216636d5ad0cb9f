// --check's verdict over the masks of tiles known to vary by GPU. A frame that differs in more
// tile channels than allowed outside the mask never matches, whatever the mask holds; a mask
// marks only its own tiles. Masks: none, one that marks nothing, one that marks a single tile,
// and each moment's linked mask, which must be its mask file as committed.
#include "app/check/golden_references.h"

#include <gtest/gtest.h>

#include <stb_image.h> // implemented by the engine

#include <string>

namespace {

constexpr std::size_t kTileCount = std::size_t(kTilesX) * kTilesY;

// A reference whose every tile channel has a level of its own.
Tiles patternTiles() {
    Tiles tiles(kTileCount * 3);
    for (std::size_t i = 0; i < tiles.size(); ++i)
        tiles[i] = std::uint8_t((i * 37 + i / 480) % 256);
    return tiles;
}

// `want` with `count` channels moved far past the tolerance, in tiles outside (or, with
// `inside`, inside) the mask, in tile order.
Tiles moved(const Tiles& want, const VaryMask& vary, std::size_t count, bool inside) {
    Tiles got = want;
    for (std::size_t t = 0; t < kTileCount && count > 0; ++t) {
        const bool marked = vary.size() == kTileCount && vary[t] != 0;
        for (int c = 0; c < 3 && count > 0 && marked == inside; ++c, --count)
            got[t * 3 + c] = std::uint8_t(want[t * 3 + c] + 128);
    }
    return got;
}

std::size_t marked(const VaryMask& vary) {
    std::size_t n = 0;
    for (std::uint8_t v : vary)
        n += v != 0;
    return n;
}

TEST(GoldenReferences, AFrameDifferingOutsideTheMaskNeverMatchesWhateverTheMaskHolds) {
    struct Mask {
        std::string what;
        Tiles want;
        VaryMask vary;
    };
    VaryMask single(kTileCount, 0);
    single[33 * kTilesX + 57] = 255;
    std::vector<Mask> masks = {
        {"no mask", patternTiles(), {}},
        {"a mask that marks nothing", patternTiles(), VaryMask(kTileCount, 0)},
        {"a mask that marks tile 57,33", patternTiles(), single},
    };
    for (const GoldenMoment& moment : kGoldenMoments) {
        GoldenReference linked;
        std::string error;
        ASSERT_TRUE(loadGoldenReference(moment, linked, error)) << error;
        // The linked mask is the mask file, byte for byte.
        const std::string file = std::string(GOLDEN_FRAMES_DIR) + "/" + moment.name + ".vary.png";
        int w = 0, h = 0, n = 0;
        unsigned char* pixels = stbi_load(file.c_str(), &w, &h, &n, 1);
        ASSERT_TRUE(pixels != nullptr) << file;
        const VaryMask committed(pixels, pixels + std::size_t(w) * h);
        stbi_image_free(pixels);
        EXPECT_EQ(linked.vary, committed) << moment.name;
        ASSERT_GT(marked(linked.vary), 0u) << moment.name;
        masks.push_back(
            {std::string("the linked mask of ") + moment.name, linked.tiles, linked.vary});
    }
    const int allowed = int(kOutlierShare * double(kTileCount * 3));
    for (const Mask& m : masks) {
        SCOPED_TRACE(m.what);
        const int varying = int(marked(m.vary));
        // Every tile of the mask off, and `outside` channels outside it.
        auto offBy = [&](std::size_t outside) {
            return compareTiles(
                moved(moved(m.want, m.vary, outside, false), m.vary, kTileCount * 3, true), m.want,
                m.vary);
        };
        const TileComparison atLimit = offBy(std::size_t(allowed));
        EXPECT_TRUE(atLimit.matches);
        EXPECT_EQ(atLimit.channelsOff, allowed);
        EXPECT_EQ(atLimit.varyTiles, varying);
        EXPECT_EQ(atLimit.varyTilesOff, varying);
        EXPECT_EQ(atLimit.tiles, int(kTileCount) - varying);
        // One channel more outside it: exit 1.
        const TileComparison over = offBy(std::size_t(allowed) + 1);
        EXPECT_FALSE(over.matches);
        EXPECT_EQ(over.channelsOff, allowed + 1);
        // A frame wrong everywhere.
        Tiles wrong = m.want;
        for (std::uint8_t& level : wrong)
            level = std::uint8_t(level + 100);
        EXPECT_FALSE(compareTiles(wrong, m.want, m.vary).matches);
    }
}

} // namespace
