#include "app/check/tile_compare.h"

#include <cstdio>

Tiles tileMeans(const std::uint8_t* rgba, int width, int height) {
    if (rgba == nullptr || width != kGoldenWidth || height != kGoldenHeight)
        return {};
    Tiles tiles(std::size_t(kTilesX) * kTilesY * 3, 0);
    for (int ty = 0; ty < kTilesY; ++ty)
        for (int tx = 0; tx < kTilesX; ++tx)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int y = ty * kTile; y < (ty + 1) * kTile; ++y)
                    for (int x = tx * kTile; x < (tx + 1) * kTile; ++x)
                        sum += rgba[(std::size_t(y) * width + x) * 4 + c];
                tiles[(std::size_t(ty) * kTilesX + tx) * 3 + c] =
                    std::uint8_t((sum + kTile * kTile / 2) / (kTile * kTile));
            }
    return tiles;
}

TileComparison compareTiles(const Tiles& got, const Tiles& want, const VaryMask& vary) {
    TileComparison result;
    const std::size_t tileCount = std::size_t(kTilesX) * kTilesY;
    if (got.size() != tileCount * 3 || want.size() != tileCount * 3)
        return result;
    const bool masked = vary.size() == tileCount;
    constexpr std::size_t kListed = 5;
    for (std::size_t t = 0; t < tileCount; ++t) {
        bool within = true;
        TileSpot spot;
        for (int c = 0; c < 3; ++c) {
            spot = {int(t % kTilesX), int(t / kTilesX), c, got[t * 3 + c], want[t * 3 + c]};
            const bool counts = !(masked && vary[t]);
            if (counts && (result.worst.x < 0 || spot.difference() > result.worst.difference()))
                result.worst = spot;
            if (spot.difference() <= kTileTolerance)
                continue;
            within = false;
            if (!counts)
                continue;
            ++result.channelsOff;
            if (result.firstOff.size() < kListed)
                result.firstOff.push_back(spot);
        }
        if (masked && vary[t]) {
            ++result.varyTiles;
            result.varyTilesOff += within ? 0 : 1;
            continue;
        }
        ++result.tiles;
        result.tilesWithin += within ? 1 : 0;
    }
    result.channelsAllowed = int(kOutlierShare * double(tileCount * 3));
    result.matches = result.channelsOff <= result.channelsAllowed;
    return result;
}

std::string describeSpot(const TileSpot& spot) {
    if (spot.x < 0)
        return "none";
    static const char* const kChannels[] = {"red", "green", "blue"};
    char text[128];
    std::snprintf(text, sizeof text, "tile %d,%d (pixels %d-%d x %d-%d) %s %d for %d", spot.x,
                  spot.y, spot.x * kTile, spot.x * kTile + kTile - 1, spot.y * kTile,
                  spot.y * kTile + kTile - 1, kChannels[spot.channel], spot.got, spot.want);
    return text;
}
