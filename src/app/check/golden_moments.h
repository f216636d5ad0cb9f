// The moments of the show kept as reference pictures (tests/show/golden/), and the rule by
// which a rendered frame matches one. The golden-frames test and `quavel1 --check` both
// render these moments and judge them by this rule.
//
// A frame is reduced to the means of 10 x 10 pixel tiles (160 x 90 tiles), which keeps the
// references small and smooths the dither noise, yet moves by tens of levels when a layer is
// lost, swapped or blended differently. Two renders on llvmpipe agree to the last bit; a tile
// channel may differ by 6 levels of 255 before it counts, and 0.1% of the tile channels may
// count (room for another driver's rounding of transcendentals and filter weights).
#pragma once

#include <cstddef>

struct GoldenMoment {
    const char* name; // the reference is <name>.png, its varying tiles <name>.vary.png
    double start;     // show time, seconds: the first grid frame at or after it is rendered
};

// explosion: row 2163.5, all six explosions under way (their dots add up over the pass's 50
//   full-screen triangles) just after the saturation burst, over the broken logo;
// particles: the broken logo's glow stars and raster glass and the particle stream;
// credits: the whole logo under full glass, the credits fading in over the scroller and the
//   pyramid. In show order, so that one run replays its way through all three.
inline constexpr GoldenMoment kGoldenMoments[] = {
    {"explosion", 127.2647},
    {"particles", 150.0},
    {"credits", 350.0},
};

// Every moment is a frame of the capture grid at this rate, with everything before it replayed.
inline constexpr double kGoldenFps = 60;

inline constexpr int kTile = 10;
inline constexpr int kGoldenWidth = 1600, kGoldenHeight = 900;
inline constexpr int kTilesX = kGoldenWidth / kTile, kTilesY = kGoldenHeight / kTile;
inline constexpr double kTileTolerance = 6.0;  // levels of 255, per tile and channel
inline constexpr double kOutlierShare = 0.001; // of all tile channels
