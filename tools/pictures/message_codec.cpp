#include "message_codec.h"

#include "atlas_layout.h"
#include "font_renderer.h"
#include "glyph_set.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace pictures {
namespace {

void appendUtf8(std::string& out, int cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

bool parseAnchor(const std::string& line, float& position) {
    if (line.size() < 2 || line[0] != '@') {
        return false;
    }
    char* end = nullptr;
    position = std::strtof(line.c_str() + 1, &end);
    return end && *end == '\0';
}

std::string formatCount(float count) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", count);
    return text;
}

std::string describeCodepoint(int cp) {
    std::string s = "'";
    appendUtf8(s, cp);
    char hex[16];
    std::snprintf(hex, sizeof hex, "' (U+%04X)", cp);
    return s + hex;
}

// Codes of one line; false with a line:column error for a character the font lacks.
bool encodeLine(const std::string& line, int lineNumber, std::vector<std::int32_t>& codes,
                std::string& error) {
    std::vector<int> cps = decodeUtf8(line);
    for (std::size_t i = 0; i < cps.size(); ++i) {
        int cp = cps[i];
        int base = -1;
        for (const Precomposed& p : diaeresisLetters) {
            if (p.composed == cp) {
                base = p.base;
            }
        }
        if (base >= 0) {
            codes.push_back(combiningDiaeresisCode);
            codes.push_back(codeForCodepoint(base));
            continue;
        }
        int code = cp == combiningDiaeresis ? -1 : codeForCodepoint(cp);
        if (code < 0) {
            error = "line " + std::to_string(lineNumber) + ", column " + std::to_string(i + 1) +
                    ": " + describeCodepoint(cp) + " has no glyph in the scroller font";
            return false;
        }
        codes.push_back(code);
    }
    return true;
}

float advanceOf(int code, int previous, const GlyphWidths& widths) {
    float w = static_cast<float>(widths[static_cast<std::size_t>(code)]);
    return previous == combiningDiaeresisCode ? w - 180.0f : w;
}

// Sum of atlas advances of a run of codes, as the layout would place them after `previous`.
float runWidth(const std::vector<std::int32_t>& run, int previous, const GlyphWidths& widths) {
    float w = 0.0f;
    for (std::int32_t c : run) {
        w += advanceOf(c, previous, widths);
        previous = c;
    }
    return w;
}

} // namespace

std::vector<float> glyphEdges(const std::vector<std::int32_t>& codes, const GlyphWidths& widths,
                              const ScrollGeometry& g) {
    std::vector<float> edges;
    float pen = 0.0f; // atlas pixels
    int previous = -1;
    for (std::int32_t c : codes) {
        if (previous == combiningDiaeresisCode) {
            pen -= 180.0f;
        }
        // The quad is centred at pen + (w - 180) / 2 and w wide, so it starts at pen - 90.
        edges.push_back((pen - 90.0f) * g.fontResize / g.width);
        pen += static_cast<float>(widths[static_cast<std::size_t>(c)]);
        previous = c;
    }
    edges.push_back((pen - 90.0f) * g.fontResize / g.width);
    return edges;
}

float scrollOffset(float scrollPos, const ScrollGeometry& g) {
    return scrollPos - 4.39f + g.height / 100.0f;
}

bool encodeMessage(const std::string& text, const GlyphWidths& widths, int length,
                   EncodedMessage& out, std::string& error) {
    out = {};
    std::vector<std::string> lines = splitLines(text);
    const ScrollGeometry g;
    bool anchored = false;
    float anchor = 0.0f;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        float position;
        if (parseAnchor(lines[n], position)) {
            if (!std::isfinite(position)) {
                error = "line " + std::to_string(n + 1) + ": '" + lines[n] +
                        "' is not a Scroll1pos position";
                return false;
            }
            anchored = true;
            anchor = position;
            continue;
        }
        std::vector<std::int32_t> line;
        if (!encodeLine(lines[n], static_cast<int>(n + 1), line, error)) {
            return false;
        }
        if (anchored) {
            // Pad with spaces until the line's centre meets the screen centre.
            int previous = out.codes.empty() ? -1 : out.codes.back();
            float lineWidth = runWidth(line, previous, widths) * g.fontResize / g.width;
            float start = glyphEdges(out.codes, widths, g).back();
            float target = -scrollOffset(anchor, g) - lineWidth * 0.5f;
            float space = static_cast<float>(widths[0]) * g.fontResize / g.width;
            if (start > target + space) {
                int over = static_cast<int>((start - target) * g.width / g.fontResize /
                                            atlas::standardCellWidth) +
                           1;
                error = "line " + std::to_string(n + 1) + ": the text before its anchor is about " +
                        std::to_string(over) + " standard glyphs too long";
                return false;
            }
            // The padding is counted before it is added, so a far anchor is refused at once.
            const float spaces = std::ceil((target - start) / space - 0.5f);
            if (spaces > static_cast<float>(length) - static_cast<float>(out.codes.size())) {
                error = "line " + std::to_string(n) + ": the anchor '" + lines[n - 1] + "' needs " +
                        formatCount(spaces) + " spaces of padding, more than the " +
                        std::to_string(length) + " codes hold";
                return false;
            }
            while (start + space * 0.5f < target) {
                out.codes.push_back(0);
                start += space;
            }
            anchored = false;
        }
        out.codes.insert(out.codes.end(), line.begin(), line.end());
        if (n + 1 < lines.size()) {
            out.codes.push_back(0); // the line break
        }
    }
    out.usedCodes = static_cast<int>(out.codes.size());
    if (out.usedCodes > length) {
        error = "the message needs " + std::to_string(out.usedCodes) + " glyph codes, more than " +
                std::to_string(length);
        return false;
    }
    out.codes.resize(static_cast<std::size_t>(length), 0);
    return true;
}

std::string codesFileBytes(const std::vector<std::int32_t>& codes) {
    std::string bytes;
    for (std::int32_t c : codes) {
        const auto v = static_cast<std::uint32_t>(c);
        for (int b = 0; b < 4; ++b) {
            bytes += static_cast<char>((v >> (8 * b)) & 0xFF);
        }
    }
    return bytes;
}

bool codesFromFileBytes(const std::string& bytes, std::vector<std::int32_t>& codes,
                        std::string& error) {
    codes.clear();
    if (bytes.empty() || bytes.size() % 4 != 0) {
        error = "not a codes file: " + std::to_string(bytes.size()) +
                " bytes are not a whole number of 4-byte glyph codes";
        return false;
    }
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::uint32_t v = 0;
        for (std::size_t b = 4; b-- > 0;) {
            v = (v << 8) | static_cast<unsigned char>(bytes[i + b]);
        }
        if (v >= static_cast<std::uint32_t>(glyphCodeCount)) {
            error = "not a codes file: the value at byte " + std::to_string(i) + " (" +
                    std::to_string(static_cast<std::int32_t>(v)) + ") is not a glyph code 0.." +
                    std::to_string(glyphCodeCount - 1);
            return false;
        }
        codes.push_back(static_cast<std::int32_t>(v));
    }
    return true;
}

std::string decodeMessage(const std::vector<std::int32_t>& codes) {
    std::string text;
    const auto& table = glyphCodepoints();
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::int32_t c = codes[i];
        if (c < 0 || c >= glyphCodeCount) {
            appendUtf8(text, 0xFFFD);
            continue;
        }
        int cp = table[static_cast<std::size_t>(c)];
        if (c == combiningDiaeresisCode && i + 1 < codes.size()) {
            int next = codes[i + 1] >= 0 && codes[i + 1] < glyphCodeCount
                           ? table[static_cast<std::size_t>(codes[i + 1])]
                           : -1;
            for (const Precomposed& p : diaeresisLetters) {
                if (p.base == next) {
                    cp = p.composed;
                    ++i;
                    break;
                }
            }
        }
        appendUtf8(text, cp);
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string visibleText(const std::vector<std::int32_t>& codes, const GlyphWidths& widths,
                        float scrollPos, const ScrollGeometry& g) {
    std::vector<float> edges = glyphEdges(codes, widths, g);
    const float offset = scrollOffset(scrollPos, g);
    std::vector<std::int32_t> shown;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        float left = edges[i] + offset;
        float right = left + static_cast<float>(widths[static_cast<std::size_t>(codes[i])]) *
                                 g.fontResize / g.width;
        if (right > -1.0f && left < 1.0f) {
            shown.push_back(codes[i]);
        }
    }
    return decodeMessage(shown);
}

} // namespace pictures
