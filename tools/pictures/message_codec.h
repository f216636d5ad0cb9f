// The scroll message: text to glyph codes and back, and where the glyphs scroll on screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pictures {

// Width in atlas pixels of each glyph code (the generated glyph table's third column).
using GlyphWidths = std::vector<int>;

// Message text format: UTF-8; each line break counts as one space. A line that is exactly
// "@<position>" (for example "@-152") is an anchor: spaces are inserted so that the next line
// is centred on the screen when Scroll1pos has that value (an anchor that would need more
// padding than the message holds is refused). Letters with a diaeresis (ä ë ö ü ÿ)
// become code 19 followed by the bare letter.
struct EncodedMessage {
    std::vector<std::int32_t> codes;
    int usedCodes = 0; // before the padding spaces
};

bool encodeMessage(const std::string& text, const GlyphWidths& widths, int length,
                   EncodedMessage& out, std::string& error);

// A codes file as the show embeds it: one little-endian int32 per glyph.
std::string codesFileBytes(const std::vector<std::int32_t>& codes);
// The codes of a codes file; false with "not a codes file: <reason>" when the size is not a
// whole number of codes or a value is not a glyph code.
bool codesFromFileBytes(const std::string& bytes, std::vector<std::int32_t>& codes,
                        std::string& error);

// The text the codes stand for, diaeresis pairs recombined, trailing spaces removed.
std::string decodeMessage(const std::vector<std::int32_t>& codes);

// Horizontal screen placement of the glyphs as the layout and glyph shaders compute it, in
// clip units (-1 is the left screen edge, 1 the right).
struct ScrollGeometry {
    float fontResize = 3.0f;
    float width = 1600.0f;
    float height = 900.0f;
};

// Left edge of every glyph at Scroll1pos 0, followed by the right edge of the last glyph.
std::vector<float> glyphEdges(const std::vector<std::int32_t>& codes, const GlyphWidths& widths,
                              const ScrollGeometry& geometry = {});

// The shader's horizontal offset for a scroll position.
float scrollOffset(float scrollPos, const ScrollGeometry& geometry = {});

// Text of the glyphs that overlap the screen at a scroll position.
std::string visibleText(const std::vector<std::int32_t>& codes, const GlyphWidths& widths,
                        float scrollPos, const ScrollGeometry& geometry = {});

} // namespace pictures
