// Where the show's overlay images land on the 1600 x 900 screen, derived from the shader
// formulas, so the generators can draw for the screen and the tests can check against it.
//
// Screen coordinates here are fractions: x from the left, y from the top (both 0..1).
// Picture coordinates are fractions of the PNG as stored: x from the left, y from the first row.
//
// psComposite (v grows downwards in its own texture coordinates) samples the logo images at
// lu = (0.5, 0.86) + (R / (764, 348)) * (uv - (0.5, 0.86)). Two turns reach the screen: the
// picture loader flips the rows, so texture v = 1 - picture y, and the engine's final pass shows
// the composite upside down, so screen y = 1 - uv.y. The two cancel: the logo images are stored
// upright, their own point y = 0.14 sits at screen y = 0.14, and at native pixel size the
// picture covers screen x 418..1182 and screen y 77..425 (y fractions 0.0859..0.4725).
//
// psGlowLogo (v grows upwards, so its uv.y equals the screen y from the top) samples
// glowstuffmap at (lu.x, 1 - lu.y) with the same lu. After the loader's flip that is picture
// y = lu.y = 0.86 + (900 / 348) * (screen y - 0.86): the mask is upright too, but anchored
// at screen y 0.86, covering screen y 0.5275..0.9141 - mirrored against the logo. Everything
// above screen y 0.5275 reads the mask's first row through the clamping sampler, and that is
// where the glow's stars are (screen y 0.18..0.33).
#pragma once

#include <array>
#include <cmath>

namespace pictures::screen {

constexpr float width = 1600.0f;
constexpr float height = 900.0f;
constexpr float aspect = width / height;

constexpr int overlayWidth = 764;
constexpr int overlayHeight = 348;
constexpr float anchorX = 0.5f;
constexpr float anchorY = 0.86f;

struct Point {
    float x, y;
};

// Logo images as psComposite places them.
inline Point logoPictureToScreen(Point p) {
    return {anchorX + (p.x - anchorX) * overlayWidth / width,
            (1.0f - anchorY) + (p.y - (1.0f - anchorY)) * overlayHeight / height};
}
inline Point screenToLogoPicture(Point s) {
    return {anchorX + (s.x - anchorX) * width / overlayWidth,
            (1.0f - anchorY) + (s.y - (1.0f - anchorY)) * height / overlayHeight};
}

// glowstuffmap as psGlowLogo reads it: picture fractions to the screen point that reads them.
inline Point glowPictureToScreen(Point p) {
    return {anchorX + (p.x - anchorX) * overlayWidth / width,
            anchorY + (p.y - anchorY) * overlayHeight / height};
}

// The glow's stars: centre in screen fractions (psGlowLogo's uv, whose y runs down the screen
// because its v grows upwards and the final copy turns the picture over) and intensity.
struct Star {
    Point centre;
    float intensity;
};
constexpr std::array<Star, 6> glowStars{{{{0.27f, 0.253f}, 0.15f},
                                         {{0.423f, 0.18f}, 0.025f},
                                         {{0.549f, 0.181f}, 0.025f},
                                         {{0.31f, 0.2f}, 0.02f},
                                         {{0.39f, 0.33f}, 0.015f},
                                         {{0.52f, 0.245f}, 0.025f}}};

// Distance from a star in psGlowLogo's star space, where one unit is the screen height.
inline float starDistance(const Star& star, Point s) {
    float dx = (s.x - star.centre.x) * aspect, dy = s.y - star.centre.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Radius (screen heights) beyond which a star adds less than half an 8-bit step to the picture.
// The bound takes every ray at full strength and the glow's alpha at its largest.
float glowReach(float intensity);

// CredsImage: shown at 299 x 17 screen pixels around composite uv (0.5, 0.1), which the final
// copy puts at screen y 0.9; upright like the logo. One screen pixel is 4 x 4 picture pixels;
// the strip is waved in 23 columns of 13 screen pixels.
constexpr int creditsScreenWidth = 299;
constexpr int creditsScreenHeight = 17;
constexpr int creditsPixelScale = 4;
constexpr int creditsColumnWidth = 13;

} // namespace pictures::screen
