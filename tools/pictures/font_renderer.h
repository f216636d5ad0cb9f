// TrueType rendering for the generators, through stb_truetype.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

namespace pictures {

// The font every generator draws with: DejaVu Sans Bold from Debian's fonts-dejavu-core.
inline const char* defaultFontPath() {
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}

struct GlyphMetrics {
    float advance = 0;  // pixels at the given horizontal scale
    float inkLeft = 0;  // pixels from the pen to the left ink edge
    float inkRight = 0; // pixels from the pen to the right ink edge
};

class Font {
public:
    Font();
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool load(const std::string& path, std::string& error);
    bool hasGlyph(int codepoint) const;
    // Scale that makes capital letters exactly capHeight pixels tall.
    float scaleForCapHeight(float capHeight) const;
    // Scale that makes lowercase letters without ascenders exactly xHeight pixels tall.
    float scaleForXHeight(float xHeight) const;
    GlyphMetrics metrics(int codepoint, float scaleX) const;
    float kerning(int left, int right, float scaleX) const;
    // Adds the coverage of one glyph to the plane (clamped to 1), with the pen at penX and the
    // baseline at baselineY in plane pixels.
    void draw(Plane& plane, int codepoint, float scaleX, float scaleY, float penX,
              float baselineY) const;

private:
    struct Impl;
    Impl* impl_;
};

// Unicode code points of a UTF-8 string; invalid bytes come back as U+FFFD.
std::vector<int> decodeUtf8(const std::string& text);

} // namespace pictures
