// Lays out and renders the scroller font into two atlases of three 1106-pixel rows each.
#pragma once

#include "canvas.h"
#include "font_renderer.h"
#include "glyph_set.h"

#include <array>
#include <string>

namespace pictures {

struct GlyphCell {
    int row = 0;   // 0..5; rows 3..5 live in the second atlas
    int x = 0;     // left edge in atlas pixels
    int width = 0; // atlas pixels
};

using GlyphLayout = std::array<GlyphCell, glyphCodeCount>;

// Cell widths follow the font's advances (plus tracking), rounded to multiples of 30 so most
// letters share the 180-pixel standard cell; cells are packed left to right, row by row.
bool layoutGlyphs(const Font& font, GlyphLayout& layout, std::string& error);

// Coverage of both atlases (index 0 and 1), 0..1 per pixel.
std::array<Plane, 2> renderAtlases(const Font& font, const GlyphLayout& layout);

} // namespace pictures
