// The lettering of the show's logo, shared by the logo, its glass layers and its masks.
#pragma once

#include "canvas.h"
#include "font_renderer.h"

namespace pictures {

// Geometry of the lettering in logo picture pixels (764 x 348, stored upright).
struct LogoMetrics {
    static constexpr int width = 764;
    static constexpr int height = 348;
    static constexpr int supersample = 3;
    // The lowercase body spans these rows; the glow's stars sit on them (rows 85 and 220).
    static constexpr float xHeightTop = 86.0f;
    static constexpr float baseline = 222.0f;
    static constexpr float slant = 0.2f; // horizontal shift per pixel of height
    static constexpr float targetInkWidth = 700.0f;
};

struct LogoShape {
    int supersample = LogoMetrics::supersample;
    // Signed distance to the letter edges in logo pixels, sampled on the supersampled grid
    // (negative inside the letters).
    Plane distance;
    // Same for the letters moved by the drop-shadow offset.
    Plane shadowDistance;
};

LogoShape buildLogoShape(const Font& font);

} // namespace pictures
