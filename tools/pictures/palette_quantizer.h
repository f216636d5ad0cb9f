// Reduces a drawn picture to an indexed one so the embedded PNGs stay small.
#pragma once

#include "canvas.h"
#include "png_writer.h"

#include <vector>

namespace pictures {

struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<PaletteEntry> palette;
    std::vector<std::uint8_t> indices;
};

PaletteEntry toEntry(const Rgba& c);

// Median cut over the picture's 8-bit colours. A fully transparent pixel always maps to an exact
// (0, 0, 0, 0) entry, so clamped texture borders stay invisible. Entries that are not opaque
// come first, which keeps the tRNS chunk short.
IndexedPicture quantize(const Canvas& canvas, int maxColours);

} // namespace pictures
