#include "distance_field.h"

#include <cmath>
#include <limits>
#include <vector>

namespace pictures {
namespace {

constexpr float farAway = 1e12f;

// One-dimensional squared distance transform of a sampled function (lower envelope of
// parabolas), in place.
void transform1d(std::vector<float>& f) {
    const int n = static_cast<int>(f.size());
    std::vector<float> d(f.size());
    std::vector<int> v(f.size());
    std::vector<float> z(f.size() + 1);
    int k = 0;
    v[0] = 0;
    z[0] = -std::numeric_limits<float>::infinity();
    z[1] = std::numeric_limits<float>::infinity();
    auto at = [&](int i) { return f[static_cast<std::size_t>(i)]; };
    for (int q = 1; q < n; ++q) {
        float s;
        for (;;) {
            int p = v[static_cast<std::size_t>(k)];
            s = ((at(q) + float(q) * float(q)) - (at(p) + float(p) * float(p))) /
                (2.0f * float(q - p));
            if (s <= z[static_cast<std::size_t>(k)] && k > 0) {
                --k;
                continue;
            }
            break;
        }
        ++k;
        v[static_cast<std::size_t>(k)] = q;
        z[static_cast<std::size_t>(k)] = s;
        z[static_cast<std::size_t>(k) + 1] = std::numeric_limits<float>::infinity();
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[static_cast<std::size_t>(k) + 1] < float(q)) {
            ++k;
        }
        int p = v[static_cast<std::size_t>(k)];
        d[static_cast<std::size_t>(q)] = float(q - p) * float(q - p) + at(p);
    }
    f = d;
}

} // namespace

Plane distanceToSet(const Plane& plane, float threshold) {
    const int w = plane.width(), h = plane.height();
    Plane sq(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            sq.at(x, y) = plane.at(x, y) >= threshold ? 0.0f : farAway;
        }
    }
    std::vector<float> line;
    for (int x = 0; x < w; ++x) {
        line.resize(static_cast<std::size_t>(h));
        for (int y = 0; y < h; ++y) {
            line[static_cast<std::size_t>(y)] = sq.at(x, y);
        }
        transform1d(line);
        for (int y = 0; y < h; ++y) {
            sq.at(x, y) = line[static_cast<std::size_t>(y)];
        }
    }
    for (int y = 0; y < h; ++y) {
        line.assign(sq.cells().begin() + static_cast<long>(y) * w,
                    sq.cells().begin() + static_cast<long>(y + 1) * w);
        transform1d(line);
        for (int x = 0; x < w; ++x) {
            sq.at(x, y) = std::sqrt(line[static_cast<std::size_t>(x)]);
        }
    }
    return sq;
}

Plane signedDistance(const Plane& coverage) {
    Plane outside = distanceToSet(coverage, 0.5f);
    Plane inverted(coverage.width(), coverage.height());
    for (std::size_t i = 0; i < coverage.cells().size(); ++i) {
        inverted.cells()[i] = 1.0f - coverage.cells()[i];
    }
    Plane inside = distanceToSet(inverted, 0.5f + 1e-6f);
    Plane sd(coverage.width(), coverage.height());
    for (std::size_t i = 0; i < sd.cells().size(); ++i) {
        // Half a pixel on each side puts the zero crossing on the boundary between pixels.
        float o = outside.cells()[i], n = inside.cells()[i];
        sd.cells()[i] = o > 0.0f ? o - 0.5f : 0.5f - n;
    }
    return sd;
}

} // namespace pictures
