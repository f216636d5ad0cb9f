#include "logo_shape.h"

#include "distance_field.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace pictures {
namespace {

const char* logoText = "quavel1";
constexpr float tracking = 2.0f; // logo pixels between letters
constexpr float shadowOffsetX = 9.0f;
constexpr float shadowOffsetY = 11.0f;
constexpr float ascenderTop = 30.0f; // logo row of the top of the l and the 1

// Upright lettering on the supersampled grid, condensed so that the slanted word is
// targetInkWidth wide.
Plane renderUpright(const Font& font, int ss) {
    const float scaleY = font.scaleForXHeight((LogoMetrics::baseline - LogoMetrics::xHeightTop) *
                                              static_cast<float>(ss));
    std::vector<int> text(logoText, logoText + std::char_traits<char>::length(logoText));
    // The ink extent is linear in the horizontal scale: extent = k * units + fixed.
    float units = 0.0f;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        units += font.metrics(text[i], 1.0f).advance + font.kerning(text[i], text[i + 1], 1.0f);
    }
    units += font.metrics(text.back(), 1.0f).inkRight - font.metrics(text.front(), 1.0f).inkLeft;
    const float slantExtent = LogoMetrics::slant * (LogoMetrics::baseline - ascenderTop);
    const float fixed = tracking * static_cast<float>(text.size() - 1);
    float scaleX = (LogoMetrics::targetInkWidth - slantExtent - fixed) * ss / units;
    scaleX = std::min(scaleX, scaleY);

    Plane upright(LogoMetrics::width * ss, LogoMetrics::height * ss);
    float pen = -font.metrics(text.front(), scaleX).inkLeft;
    for (std::size_t i = 0; i < text.size(); ++i) {
        font.draw(upright, text[i], scaleX, scaleY, pen, LogoMetrics::baseline * ss);
        if (i + 1 < text.size()) {
            pen += font.metrics(text[i], scaleX).advance +
                   font.kerning(text[i], text[i + 1], scaleX) + tracking * ss;
        }
    }
    return upright;
}

// Slants the lettering about the baseline and centres its ink horizontally.
Plane slantAndCentre(const Plane& upright, int ss) {
    const float baseline = LogoMetrics::baseline * ss;
    Plane slanted(upright.width(), upright.height());
    int left = slanted.width(), right = -1;
    for (int y = 0; y < slanted.height(); ++y) {
        float shift = LogoMetrics::slant * (baseline - static_cast<float>(y));
        for (int x = 0; x < slanted.width(); ++x) {
            float v = sampleBilinear(upright, static_cast<float>(x) + 0.5f - shift,
                                     static_cast<float>(y) + 0.5f);
            slanted.at(x, y) = v;
            if (v >= 0.5f) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    int offset = (slanted.width() - (right + 1 - left)) / 2 - left;
    Plane centred(slanted.width(), slanted.height());
    for (int y = 0; y < slanted.height(); ++y) {
        for (int x = 0; x < slanted.width(); ++x) {
            if (centred.contains(x + offset, y)) {
                centred.at(x + offset, y) = slanted.at(x, y);
            }
        }
    }
    return centred;
}

Plane shifted(const Plane& p, int dx, int dy) {
    Plane out(p.width(), p.height());
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) {
            if (p.contains(x - dx, y - dy)) {
                out.at(x, y) = p.at(x - dx, y - dy);
            }
        }
    }
    return out;
}

Plane toLogoPixels(Plane distance, int ss) {
    for (float& d : distance.cells()) {
        d /= static_cast<float>(ss);
    }
    return distance;
}

} // namespace

LogoShape buildLogoShape(const Font& font) {
    const int ss = LogoMetrics::supersample;
    Plane coverage = slantAndCentre(renderUpright(font, ss), ss);
    LogoShape shape;
    shape.supersample = ss;
    shape.distance = toLogoPixels(signedDistance(coverage), ss);
    shape.shadowDistance =
        toLogoPixels(signedDistance(shifted(coverage, static_cast<int>(shadowOffsetX * ss),
                                            static_cast<int>(shadowOffsetY * ss))),
                     ss);
    return shape;
}

} // namespace pictures
