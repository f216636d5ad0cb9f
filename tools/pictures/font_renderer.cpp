#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

#include "font_renderer.h"

#include "input_file.h"

#include <cmath>

namespace pictures {
namespace {

// Font files larger than this are not what the generators draw with.
constexpr std::uint64_t kMaxFontBytes = 64u << 20;

std::uint32_t bigEndian(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    }
    return v;
}

// stb_truetype trusts the table directory; a file whose tables reach past its end is refused
// before it can make the renderer read outside the bytes.
bool tablesInside(const std::vector<unsigned char>& bytes, std::size_t start) {
    if (start + 12 > bytes.size()) {
        return false;
    }
    const std::size_t tables = bigEndian(bytes, start + 4, 2);
    if (start + 12 + 16 * tables > bytes.size()) {
        return false;
    }
    for (std::size_t i = 0; i < tables; ++i) {
        const std::size_t record = start + 12 + 16 * i;
        const std::uint64_t offset = bigEndian(bytes, record + 8, 4);
        const std::uint64_t length = bigEndian(bytes, record + 12, 4);
        if (offset + length > bytes.size()) {
            return false;
        }
    }
    return true;
}

} // namespace

struct Font::Impl {
    std::vector<unsigned char> bytes;
    stbtt_fontinfo info{};
};

Font::Font() : impl_(new Impl) {}
Font::~Font() {
    delete impl_;
}

bool Font::load(const std::string& path, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!cli::readInputFile(path, kMaxFontBytes, &bytes, &error)) {
        error = "font: " + error;
        return false;
    }
    impl_->bytes.assign(bytes.begin(), bytes.end());
    // The offset reads the first bytes only; a short file cannot hold a font at all.
    const int offset =
        impl_->bytes.size() < 16 ? -1 : stbtt_GetFontOffsetForIndex(impl_->bytes.data(), 0);
    if (offset < 0 || !tablesInside(impl_->bytes, static_cast<std::size_t>(offset)) ||
        !stbtt_InitFont(&impl_->info, impl_->bytes.data(), offset)) {
        error = "'" + path + "' is not a TrueType font";
        return false;
    }
    return true;
}

bool Font::hasGlyph(int codepoint) const {
    return stbtt_FindGlyphIndex(&impl_->info, codepoint) != 0;
}

float Font::scaleForCapHeight(float capHeight) const {
    int x0, y0, x1, y1;
    stbtt_GetCodepointBox(&impl_->info, 'H', &x0, &y0, &x1, &y1);
    return capHeight / static_cast<float>(y1);
}

float Font::scaleForXHeight(float xHeight) const {
    int x0, y0, x1, y1;
    stbtt_GetCodepointBox(&impl_->info, 'x', &x0, &y0, &x1, &y1);
    return xHeight / static_cast<float>(y1);
}

GlyphMetrics Font::metrics(int codepoint, float scaleX) const {
    int advance, bearing, x0, y0, x1, y1;
    stbtt_GetCodepointHMetrics(&impl_->info, codepoint, &advance, &bearing);
    GlyphMetrics m;
    m.advance = static_cast<float>(advance) * scaleX;
    if (stbtt_GetCodepointBox(&impl_->info, codepoint, &x0, &y0, &x1, &y1)) {
        m.inkLeft = static_cast<float>(x0) * scaleX;
        m.inkRight = static_cast<float>(x1) * scaleX;
    }
    return m;
}

float Font::kerning(int left, int right, float scaleX) const {
    return static_cast<float>(stbtt_GetCodepointKernAdvance(&impl_->info, left, right)) * scaleX;
}

void Font::draw(Plane& plane, int codepoint, float scaleX, float scaleY, float penX,
                float baselineY) const {
    float fx = std::floor(penX), fy = std::floor(baselineY);
    float shiftX = penX - fx, shiftY = baselineY - fy;
    int x0, y0, x1, y1;
    stbtt_GetCodepointBitmapBoxSubpixel(&impl_->info, codepoint, scaleX, scaleY, shiftX, shiftY,
                                        &x0, &y0, &x1, &y1);
    int w = x1 - x0, h = y1 - y0;
    if (w <= 0 || h <= 0) {
        return;
    }
    std::vector<unsigned char> bitmap(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    stbtt_MakeCodepointBitmapSubpixel(&impl_->info, bitmap.data(), w, h, w, scaleX, scaleY, shiftX,
                                      shiftY, codepoint);
    int ox = static_cast<int>(fx) + x0, oy = static_cast<int>(fy) + y0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!plane.contains(ox + x, oy + y)) {
                continue;
            }
            float& cell = plane.at(ox + x, oy + y);
            cell = std::min(1.0f, cell + bitmap[static_cast<std::size_t>(y * w + x)] / 255.0f);
        }
    }
}

std::vector<int> decodeUtf8(const std::string& text) {
    std::vector<int> out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        int cp = extra == 0 ? c : c & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + static_cast<std::size_t>(k) >= text.size()) {
                ok = false;
                break;
            }
            unsigned char cc = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((cc >> 6) != 2) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

} // namespace pictures
