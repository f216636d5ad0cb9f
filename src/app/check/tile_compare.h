// Frames reduced to tile means and compared with a reference by the rule of golden_moments.h.
//
//     Tiles got = tileMeans(rgba.data(), 1600, 900);
//     TileComparison c = compareTiles(got, reference, varyMask);
//     if (!c.matches) ...  // c.worst says which tile and by how much
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/check/golden_moments.h"

// kTilesX x kTilesY RGB means, row by row from the top.
using Tiles = std::vector<std::uint8_t>;

// One byte per tile (kTilesX x kTilesY): non-zero where the picture legitimately differs
// between GPUs. Empty when no tile is known to vary.
using VaryMask = std::vector<std::uint8_t>;

// The tile means of a kGoldenWidth x kGoldenHeight RGBA frame (top row first), rounded to
// the nearest level; empty for a frame of another size.
Tiles tileMeans(const std::uint8_t* rgba, int width, int height);

struct TileSpot {
    int x = -1, y = -1; // tile column and row; -1 when there is none
    int channel = 0;    // 0 red, 1 green, 2 blue
    int got = 0, want = 0;
    int difference() const { return got > want ? got - want : want - got; }
};

struct TileComparison {
    int tiles = 0;                  // tiles compared (outside the vary mask)
    int tilesWithin = 0;            // of those, every channel within the tolerance
    int channelsOff = 0;            // tile channels beyond the tolerance outside the mask
    int channelsAllowed = 0;        // how many may be
    int varyTiles = 0;              // tiles known to vary by GPU
    int varyTilesOff = 0;           // of those, beyond the tolerance in this frame
    TileSpot worst;                 // the largest difference outside the mask, within or not
    std::vector<TileSpot> firstOff; // the first few channels beyond the tolerance
    bool matches = false;           // channelsOff <= channelsAllowed
};

// `got` and `want` must both be tile means (kTilesX x kTilesY x 3); a mask of another size
// than kTilesX x kTilesY is taken as empty.
TileComparison compareTiles(const Tiles& got, const Tiles& want, const VaryMask& vary);

// "tile 12,40 (pixels 120-129 x 400-409) green 200 for 180"
std::string describeSpot(const TileSpot& spot);
