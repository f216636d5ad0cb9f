#include "credits_art.h"

#include "colour_ramp.h"
#include "screen_placement.h"

#include <cmath>

namespace pictures {
namespace {

constexpr int capTop = 3, baseline = 14; // screen rows of the strip
constexpr float inkThreshold = 0.42f;

// Copper gradient down the letters, one colour per screen row.
Rgba copper(int row) {
    static const ColourRamp ramp{{static_cast<float>(capTop), {1.0f, 0.93f, 0.75f, 1}},
                                 {5.0f, colours::peach},
                                 {8.0f, colours::orange},
                                 {11.0f, colours::red},
                                 {static_cast<float>(baseline), colours::wine}};
    return ramp(static_cast<float>(row));
}

} // namespace

bool drawCredits(const Font& font, const std::string& text, Canvas& out, std::string& error) {
    using namespace screen;
    const int columns = creditsScreenWidth / creditsColumnWidth;
    std::vector<int> chars = decodeUtf8(text);
    if (static_cast<int>(chars.size()) > columns) {
        error = "credits text longer than " + std::to_string(columns) + " characters";
        return false;
    }
    Plane ink(creditsScreenWidth, creditsScreenHeight);
    const float scale = font.scaleForCapHeight(static_cast<float>(baseline - capTop));
    const int firstColumn = (columns - static_cast<int>(chars.size())) / 2;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == ' ') {
            continue;
        }
        Plane cell(creditsColumnWidth, creditsScreenHeight);
        GlyphMetrics m = font.metrics(chars[i], scale);
        float pen = std::round((creditsColumnWidth - (m.inkRight - m.inkLeft)) * 0.5f - m.inkLeft);
        font.draw(cell, chars[i], scale, scale, pen, static_cast<float>(baseline));
        int left = (firstColumn + static_cast<int>(i)) * creditsColumnWidth;
        // Column 0 of every cell stays empty, so a letter never touches its neighbour's cell.
        for (int y = 0; y < creditsScreenHeight; ++y) {
            for (int x = 1; x < creditsColumnWidth; ++x) {
                ink.at(left + x, y) = cell.at(x, y) >= inkThreshold ? 1.0f : 0.0f;
            }
        }
    }
    Canvas screenPixels(creditsScreenWidth, creditsScreenHeight, {0, 0, 0, 1});
    for (int y = 1; y < creditsScreenHeight - 1; ++y) {
        for (int x = 1; x < creditsScreenWidth - 1; ++x) {
            if (ink.at(x, y) > 0) {
                screenPixels.at(x, y) = copper(y);
            } else if (ink.at(x - 1, y - 1) > 0 && x % creditsColumnWidth != 0) {
                // Drop shadow, kept inside the letter's own waved column.
                screenPixels.at(x, y) = colours::aubergine;
            }
        }
    }
    out = Canvas(creditsScreenWidth * creditsPixelScale, creditsScreenHeight * creditsPixelScale);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            out.at(x, y) = screenPixels.at(x / creditsPixelScale, y / creditsPixelScale);
        }
    }
    return true;
}

} // namespace pictures
