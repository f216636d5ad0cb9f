#include "glyph_atlas.h"

#include "atlas_layout.h"

#include <algorithm>
#include <cmath>

namespace pictures {
namespace {

constexpr float tracking = 20.0f; // atlas pixels added to every advance
constexpr int widthQuantum = 30;
constexpr float cellMargin = 3.0f; // empty columns kept at both sides of a cell
// The extrusion drops down and to the right, 10 x 12 screen pixels.
constexpr int extrusionDepthY = 15;
constexpr int extrusionDepthX = 7;
constexpr float extrusionCoverage = 0.38f;
// Faces run from full coverage at cap height to this at the baseline. Under the normal letter
// colour every coverage above 0.6 looks equally dark, so the ramp only shows in the bright
// lettercolorglobal flashes, where it reads as a metallic sheen.
constexpr float faceCoverageAtBaseline = 0.78f;
// A thin horizon line across every letter, as on the logo's chrome. Its low coverage shows
// lighter than the faces under the normal letter colour and darker in the bright flashes.
constexpr float horizonHeight = 0.42f; // fraction of the cap height above the baseline
constexpr float horizonHalfWidth = 7.0f;
constexpr float horizonCoverage = 0.4f;

struct Scales {
    float x, y;
};

Scales fontScales(const Font& font) {
    float sy = font.scaleForCapHeight(atlas::capHeight);
    return {sy * atlas::horizontalSqueeze, sy};
}

int cellWidthFor(const Font& font, int codepoint, float scaleX) {
    // The word gap is a full standard cell: at this size a font's own space (under half a
    // capital) lets the words of a fast scroller run together.
    if (codepoint == combiningDiaeresis || codepoint == ' ') {
        return atlas::standardCellWidth;
    }
    GlyphMetrics m = font.metrics(codepoint, scaleX);
    int w = static_cast<int>(std::lround((m.advance + tracking) / widthQuantum)) * widthQuantum;
    // Glyphs whose ink overhangs their advance (J, f, j) get a wider cell, so that no ink
    // reaches the cell's edge columns, which linear filtering shares with the neighbours.
    float ink = m.inkRight - m.inkLeft + extrusionDepthX + 2.0f * cellMargin;
    while (static_cast<float>(w) < ink) {
        w += widthQuantum;
    }
    return std::clamp(w, atlas::minGlyphWidth, atlas::maxGlyphWidth);
}

// The diaeresis dots as the font draws them on a capital: the top of 'Ä' above the cap
// height, centred where the capital vowels that take them will sit.
Plane drawDiaeresis(const Font& font, int cellWidth) {
    Scales s = fontScales(font);
    float vowelCells = 0.0f;
    for (int v : {'A', 'O', 'U'}) {
        vowelCells += static_cast<float>(cellWidthFor(font, v, s.x));
    }
    GlyphMetrics a = font.metrics(0xC4, s.x);
    float pen = (vowelCells / 3.0f - a.advance) * 0.5f - extrusionDepthX * 0.5f;
    Plane face(cellWidth, atlas::rowHeight);
    font.draw(face, 0xC4, s.x, s.y, pen, atlas::baselineY);
    const int capTop = static_cast<int>(atlas::baselineY - atlas::capHeight);
    for (int y = capTop - 6; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            face.at(x, y) = 0.0f;
        }
    }
    return face;
}

// Face coverage of one glyph in a cell-sized plane.
Plane drawFace(const Font& font, int codepoint, int cellWidth) {
    if (codepoint == combiningDiaeresis) {
        return drawDiaeresis(font, cellWidth);
    }
    Scales s = fontScales(font);
    Plane face(cellWidth, atlas::rowHeight);
    if (codepoint == ' ') {
        return face;
    }
    GlyphMetrics m = font.metrics(codepoint, s.x);
    // Centre the advance box in the cell, a little to the left so the extrusion has room on
    // the right.
    float pen = (static_cast<float>(cellWidth) - m.advance) * 0.5f - extrusionDepthX * 0.5f;
    pen = std::clamp(pen, cellMargin - m.inkLeft,
                     static_cast<float>(cellWidth) - cellMargin - extrusionDepthX - m.inkRight);
    font.draw(face, codepoint, s.x, s.y, pen, atlas::baselineY);
    return face;
}

Plane shadeGlyph(const Plane& face) {
    Plane out(face.width(), face.height());
    for (int y = 0; y < face.height(); ++y) {
        float t =
            std::clamp((atlas::baselineY - static_cast<float>(y)) / atlas::capHeight, 0.0f, 1.0f);
        float shade = faceCoverageAtBaseline + (1.0f - faceCoverageAtBaseline) * t;
        if (std::fabs(t - horizonHeight) * atlas::capHeight < horizonHalfWidth) {
            shade = horizonCoverage;
        }
        for (int x = 0; x < face.width(); ++x) {
            float extrusion = 0.0f;
            for (int k = 1; k <= extrusionDepthY; ++k) {
                int dx = (k * extrusionDepthX + extrusionDepthY / 2) / extrusionDepthY;
                if (face.contains(x - dx, y - k)) {
                    extrusion = std::max(extrusion, face.at(x - dx, y - k));
                }
            }
            float f = face.at(x, y);
            out.at(x, y) = f * shade + (1.0f - f) * extrusion * extrusionCoverage;
        }
    }
    return out;
}

} // namespace

bool layoutGlyphs(const Font& font, GlyphLayout& layout, std::string& error) {
    Scales s = fontScales(font);
    const auto& codepoints = glyphCodepoints();
    int row = 0, x = 0;
    for (int code = 0; code < glyphCodeCount; ++code) {
        int cp = codepoints[static_cast<std::size_t>(code)];
        if (cp != ' ' && !font.hasGlyph(cp)) {
            error = "the font has no glyph for U+" + std::to_string(cp);
            return false;
        }
        int w = cellWidthFor(font, cp, s.x);
        if (x + w > atlas::width) {
            ++row;
            x = 0;
        }
        if (row >= atlas::rowsPerAtlas * atlas::atlasCount) {
            error = "the glyphs do not fit six atlas rows";
            return false;
        }
        layout[static_cast<std::size_t>(code)] = {row, x, w};
        x += w;
    }
    return true;
}

std::array<Plane, 2> renderAtlases(const Font& font, const GlyphLayout& layout) {
    std::array<Plane, 2> atlases{Plane(atlas::width, atlas::height),
                                 Plane(atlas::width, atlas::height)};
    const auto& codepoints = glyphCodepoints();
    for (int code = 0; code < glyphCodeCount; ++code) {
        const GlyphCell& cell = layout[static_cast<std::size_t>(code)];
        Plane glyph =
            shadeGlyph(drawFace(font, codepoints[static_cast<std::size_t>(code)], cell.width));
        Plane& target = atlases[static_cast<std::size_t>(cell.row / atlas::rowsPerAtlas)];
        int top = (cell.row % atlas::rowsPerAtlas) * atlas::rowHeight;
        for (int y = 0; y < glyph.height(); ++y) {
            for (int x = 0; x < glyph.width(); ++x) {
                target.at(cell.x + x, top + y) = glyph.at(x, y);
            }
        }
    }
    return atlases;
}

} // namespace pictures
