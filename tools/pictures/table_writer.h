// Writes the glyph layout as the HLSL include of the layout shader and as C++ source, from one
// layout so the two never disagree.
#pragma once

#include "glyph_atlas.h"

#include <string>

namespace pictures {

std::string hlslGlyphTable(const GlyphLayout& layout);
std::string cppGlyphTableHeader();
std::string cppGlyphTableSource(const GlyphLayout& layout);

bool writeTextFile(const std::string& path, const std::string& text, std::string& error);

} // namespace pictures
