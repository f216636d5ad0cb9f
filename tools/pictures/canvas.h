// Floating-point pictures the generators draw into before they are quantised to PNG.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pictures {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// Straight (not premultiplied) colour over another straight colour.
inline Rgba over(const Rgba& top, const Rgba& below) {
    float a = top.a + below.a * (1.0f - top.a);
    if (a <= 0.0f) {
        return {};
    }
    auto mix = [&](float t, float b) { return (t * top.a + b * below.a * (1.0f - top.a)) / a; };
    return {mix(top.r, below.r), mix(top.g, below.g), mix(top.b, below.b), a};
}

inline Rgba lerp(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

inline float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

inline std::uint8_t toByte(float v) {
    return static_cast<std::uint8_t>(clamp01(v) * 255.0f + 0.5f);
}

template <typename T> class Grid {
public:
    Grid() = default;
    Grid(int width, int height, T fill = T{})
        : width_(width), height_(height),
          cells_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    T& at(int x, int y) { return cells_[index(x, y)]; }
    const T& at(int x, int y) const { return cells_[index(x, y)]; }
    // Clamped read, the way a clamping sampler sees the picture.
    const T& clampedAt(int x, int y) const {
        return at(std::min(width_ - 1, std::max(0, x)), std::min(height_ - 1, std::max(0, y)));
    }
    std::vector<T>& cells() { return cells_; }
    const std::vector<T>& cells() const { return cells_; }

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    int width_ = 0;
    int height_ = 0;
    std::vector<T> cells_;
};

using Plane = Grid<float>;
using Canvas = Grid<Rgba>;

// Bilinear read of a plane at continuous pixel coordinates (pixel centres at +0.5).
inline float sampleBilinear(const Plane& p, float x, float y) {
    float fx = x - 0.5f, fy = y - 0.5f;
    int x0 = static_cast<int>(fx < 0 ? fx - 1 : fx), y0 = static_cast<int>(fy < 0 ? fy - 1 : fy);
    float tx = fx - static_cast<float>(x0), ty = fy - static_cast<float>(y0);
    auto v = [&](int xx, int yy) { return p.contains(xx, yy) ? p.at(xx, yy) : 0.0f; };
    float top = v(x0, y0) + (v(x0 + 1, y0) - v(x0, y0)) * tx;
    float bottom = v(x0, y0 + 1) + (v(x0 + 1, y0 + 1) - v(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
}

// Box-filters a supersampled canvas down by an integer factor (premultiplied averaging).
Canvas downsample(const Canvas& big, int factor);
Plane downsample(const Plane& big, int factor);

} // namespace pictures
