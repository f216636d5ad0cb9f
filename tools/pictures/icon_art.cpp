#include "icon_art.h"

#include <cmath>

namespace pictures {

namespace {

// The show's dither palette, light to dark.
const Rgba kPalette[8] = {{0.718f, 0.859f, 0.718f, 1}, {1.0f, 0.718f, 0.431f, 1},
                          {1.0f, 0.573f, 0.286f, 1},   {0.859f, 0.431f, 0.286f, 1},
                          {0.859f, 0.286f, 0.145f, 1}, {0.573f, 0.145f, 0.286f, 1},
                          {0.431f, 0.145f, 0.286f, 1}, {0.282f, 0.141f, 0.282f, 1}};

// 4 x 4 ordered-dither thresholds in (0, 1).
float bayer(int x, int y) {
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (static_cast<float>(m[y & 3][x & 3]) + 0.5f) / 16.0f;
}

struct Point {
    float x, y;
};

float edge(Point a, Point b, Point p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

bool inside(Point a, Point b, Point c, Point p) {
    const float e0 = edge(a, b, p), e1 = edge(b, c, p), e2 = edge(c, a, p);
    return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
}

// Which face covers p, in unit coordinates: 0 none, 1 the lit left face, 2 the shaded right.
int faceAt(Point p) {
    const Point apex{0.5f, 0.06f}, left{0.04f, 0.78f}, front{0.6f, 0.95f}, right{0.96f, 0.72f};
    if (inside(apex, left, front, p))
        return 1;
    if (inside(apex, front, right, p))
        return 2;
    return 0;
}

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, unsigned v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

Canvas drawIcon(int size) {
    Canvas canvas(size, size);
    const int samples = 4; // per axis, for the edge coverage
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int covered = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const Point p{(static_cast<float>(x) + (sx + 0.5f) / samples) / size,
                                  (static_cast<float>(y) + (sy + 0.5f) / samples) / size};
                    covered += faceAt(p) != 0;
                }
            if (covered == 0)
                continue;
            const Point centre{(static_cast<float>(x) + 0.5f) / size,
                               (static_cast<float>(y) + 0.5f) / size};
            int face = faceAt(centre);
            if (face == 0)
                face = centre.x < 0.55f ? 1 : 2;
            // Light from the upper left: the left face runs light to mid, the right face mid
            // to dark, both darkening towards the base.
            const float shade = face == 1 ? 0.3f + 3.2f * centre.y : 3.6f + 3.4f * centre.y;
            const int index = static_cast<int>(std::floor(shade + bayer(x, y) - 0.5f));
            Rgba colour = kPalette[std::min(7, std::max(0, index))];
            colour.a = static_cast<float>(covered) / (samples * samples);
            canvas.at(x, y) = colour;
        }
    }
    return canvas;
}

std::vector<std::uint8_t> encodeIco(const std::vector<Canvas>& pictures) {
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, static_cast<unsigned>(pictures.size()));
    std::vector<std::vector<std::uint8_t>> images;
    for (const Canvas& c : pictures) {
        const unsigned w = static_cast<unsigned>(c.width()), h = static_cast<unsigned>(c.height());
        const unsigned maskRow = (w + 31) / 32 * 4;
        std::vector<std::uint8_t> image;
        put32(image, 40); // BITMAPINFOHEADER; the height counts the colour and mask halves
        put32(image, w);
        put32(image, 2 * h);
        put16(image, 1);
        put16(image, 32);
        put32(image, 0);
        put32(image, w * h * 4 + maskRow * h);
        for (int i = 0; i < 4; ++i)
            put32(image, 0);
        for (int y = c.height() - 1; y >= 0; --y) // rows bottom first
            for (int x = 0; x < c.width(); ++x) {
                const Rgba& p = c.at(x, y);
                image.push_back(toByte(p.b));
                image.push_back(toByte(p.g));
                image.push_back(toByte(p.r));
                image.push_back(toByte(p.a));
            }
        for (int y = c.height() - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(maskRow, 0);
            for (int x = 0; x < c.width(); ++x)
                if (toByte(c.at(x, y).a) == 0)
                    row[static_cast<std::size_t>(x / 8)] |=
                        static_cast<std::uint8_t>(0x80 >> (x % 8));
            image.insert(image.end(), row.begin(), row.end());
        }
        images.push_back(std::move(image));
    }
    unsigned offset = 6 + 16 * static_cast<unsigned>(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int w = pictures[i].width(), h = pictures[i].height();
        out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
        out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
        out.push_back(0); // no palette
        out.push_back(0);
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, static_cast<unsigned>(images[i].size()));
        put32(out, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace pictures
