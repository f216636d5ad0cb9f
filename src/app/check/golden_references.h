// The golden-frames references linked into the executable, so that `quavel1 --check` needs
// no files: each moment's tile means and the mask of its tiles known to vary by GPU.
#pragma once

#include <string>

#include "app/check/golden_moments.h"
#include "app/check/tile_compare.h"

struct GoldenReference {
    Tiles tiles;
    VaryMask vary;
};

// False with a reason when the moment has no linked reference or it cannot be decoded.
bool loadGoldenReference(const GoldenMoment& moment, GoldenReference& reference,
                         std::string& error);
