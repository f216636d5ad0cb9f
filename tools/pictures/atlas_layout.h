// Geometry of the scroller's glyph atlases and of the glyph band on screen.
#pragma once

namespace pictures::atlas {

constexpr int width = 4096;
constexpr int rowHeight = 1106;
constexpr int rowsPerAtlas = 3;
constexpr int atlasCount = 2;
constexpr int height = rowHeight * rowsPerAtlas; // 3318
constexpr int messageLength = 1569;

constexpr int minGlyphWidth = 90;
constexpr int maxGlyphWidth = 720;
// The layout's spacing pair moves the glyph after code 19 back by this many atlas pixels.
constexpr int standardCellWidth = 180;

// A glyph quad spans the whole screen height, so row pixel y lands on screen row
// y * 900 / 1106, top first: the atlas is stored the right way up, because the picture loader's
// row flip, the 1 - v lookup, the quad's v growing upwards and the final upside-down copy cancel
// out. Horizontally one atlas pixel is 3/2 screen pixels at fontresizeX 3, vertically 900/1106:
// glyphs are drawn narrower by the ratio of the two so that they look right on screen.
constexpr float screenHeight = 900.0f;
constexpr float screenPixelsPerAtlasPixelX = 1.5f;
constexpr float screenPixelsPerAtlasPixelY = screenHeight / rowHeight;
constexpr float horizontalSqueeze = screenPixelsPerAtlasPixelY / screenPixelsPerAtlasPixelX;

// The text band: baseline at 80 % of the screen height, capitals 30 % of it tall. That keeps
// the letters below the logo (which ends at 47 %) and their descenders just above the credits
// strip (88 % to 90 %).
constexpr float baselineScreenFraction = 0.80f;
constexpr float capHeightScreenFraction = 0.30f;
constexpr float baselineY = baselineScreenFraction * rowHeight;
constexpr float capHeight = capHeightScreenFraction * rowHeight;

} // namespace pictures::atlas
