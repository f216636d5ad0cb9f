#include "logo_art.h"

#include "colour_ramp.h"
#include "screen_placement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace pictures {
namespace {

constexpr float outlineWidth = 5.0f; // dark outline around the letters, logo pixels
constexpr float rimWidth = 2.5f;     // light rim outside the dark outline
constexpr float bevelWidth = 5.0f;

float length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

// Outward normal of the letter edges from the signed distance's gradient.
void edgeNormal(const Plane& d, int x, int y, float& nx, float& ny) {
    float gx = d.clampedAt(x + 1, y) - d.clampedAt(x - 1, y);
    float gy = d.clampedAt(x, y + 1) - d.clampedAt(x, y - 1);
    float len = length(gx, gy);
    nx = len > 0 ? gx / len : 0;
    ny = len > 0 ? gy / len : 0;
}

// Sunset chrome: a bright sky above the horizon line in the middle of the lowercase body, a
// dark reflected ground below it that warms up again towards the baseline.
Rgba chrome(float logoY) {
    static const ColourRamp ramp{{-0.9f, {0.80f, 0.92f, 1.0f, 1}},
                                 {0.0f, {1.0f, 0.97f, 0.84f, 1}},
                                 {0.28f, {1.0f, 0.82f, 0.55f, 1}},
                                 {0.5f, colours::orange},
                                 {0.5f, colours::aubergine},
                                 {0.66f, colours::wine},
                                 {0.86f, colours::red},
                                 {1.0f, colours::peach},
                                 {1.6f, {1.0f, 0.92f, 0.75f, 1}}};
    float v = (logoY - LogoMetrics::xHeightTop) / (LogoMetrics::baseline - LogoMetrics::xHeightTop);
    return ramp(v);
}

Rgba brighten(Rgba c, float amount) {
    if (amount >= 0) {
        return lerp(c, {1, 1, 1, c.a}, std::min(1.0f, amount));
    }
    float k = 1.0f + std::max(-1.0f, amount);
    return {c.r * k, c.g * k, c.b * k, c.a};
}

// Signed distance to the glass plate: a rounded rectangle slanted like the letters.
float plateDistance(float x, float y) {
    constexpr float centreY = 160.0f, halfW = 352.0f, halfH = 94.0f, radius = 26.0f;
    const float centreX = LogoMetrics::width * 0.5f;
    float ux = x - LogoMetrics::slant * (LogoMetrics::baseline - y) -
               (centreX - LogoMetrics::slant * (LogoMetrics::baseline - centreY));
    float qx = std::fabs(ux) - halfW + radius, qy = std::fabs(y - centreY) - halfH + radius;
    return length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
           radius;
}

// The plate's own look at a plate point: clear tint, scan lines, two specular streaks and a
// bright rim.
Rgba glassAt(float x, float y) {
    float d = plateDistance(x, y);
    if (d > 0) {
        return {};
    }
    Rgba tint{0.55f, 0.80f, 0.95f, 0.30f};
    if (static_cast<int>(std::floor(y)) % 4 == 0) {
        tint.a = 0.16f;
    }
    float streak = std::fmod(x + 0.9f * y + 1000.0f, 300.0f);
    if (streak < 34.0f || (streak > 48.0f && streak < 58.0f)) {
        tint = {0.85f, 0.95f, 1.0f, 0.50f};
    }
    if (d > -3.0f) {
        tint = {0.92f, 0.98f, 1.0f, 0.85f};
    } else if (d > -7.0f && d < -5.5f) {
        tint = {0.80f, 0.92f, 1.0f, 0.55f};
    }
    return tint;
}

// Deterministic pseudo-random numbers for the shards.
struct Random {
    std::uint32_t state;
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    }
};

struct Shard {
    float seedX, seedY;
    float moveX = 0, moveY = 0;
    float alphaScale = 1;
    bool missing = false;
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
};

// The impact sits among the explosion centres of the break (their mean, in logo pixels).
constexpr float impactX = 223.0f, impactY = 115.0f;

std::vector<Shard> makeShards() {
    Random rnd{20261207u};
    std::vector<Shard> shards;
    for (int i = 0; i < 58; ++i) {
        Shard s;
        if (i < 34) {
            // Dense near the impact: radius grows with the square root for even area use.
            float r = 230.0f * std::sqrt(rnd.next()), a = 6.2831853f * rnd.next();
            s.seedX = impactX + r * std::cos(a) * 1.3f;
            s.seedY = impactY + r * std::sin(a) * 0.6f;
        } else {
            s.seedX = 20.0f + 724.0f * rnd.next();
            s.seedY = 66.0f + 190.0f * rnd.next();
        }
        float dx = s.seedX - impactX, dy = s.seedY - impactY;
        float dist = std::max(1.0f, length(dx, dy));
        float push = 4.0f + 900.0f / (dist + 60.0f);
        s.moveX = dx / dist * push;
        s.moveY = dy / dist * push;
        s.alphaScale = 0.7f + 0.6f * rnd.next();
        s.missing = dist < 55.0f || rnd.next() < 0.06f;
        shards.push_back(s);
    }
    return shards;
}

int nearestShard(const std::vector<Shard>& shards, float x, float y) {
    int best = 0;
    float bestD = 1e30f;
    for (std::size_t i = 0; i < shards.size(); ++i) {
        float dx = x - shards[i].seedX, dy = y - shards[i].seedY;
        float d = dx * dx + dy * dy;
        if (d < bestD) {
            bestD = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// Distance from a point of shard k to the shard's edge (the nearest Voronoi bisector).
float shardEdgeDistance(const std::vector<Shard>& shards, int k, float x, float y) {
    const Shard& a = shards[static_cast<std::size_t>(k)];
    float best = 1e30f;
    for (std::size_t i = 0; i < shards.size(); ++i) {
        if (static_cast<int>(i) == k) {
            continue;
        }
        const Shard& b = shards[i];
        float abx = b.seedX - a.seedX, aby = b.seedY - a.seedY;
        float len = length(abx, aby);
        float da = (x - a.seedX) * (x - a.seedX) + (y - a.seedY) * (y - a.seedY);
        float db = (x - b.seedX) * (x - b.seedX) + (y - b.seedY) * (y - b.seedY);
        best = std::min(best, (db - da) / (2.0f * len));
    }
    return best;
}

Rgba shatteredGlassAt(const std::vector<Shard>& shards, float x, float y) {
    constexpr float crack = 1.5f; // half the gap between shards
    for (std::size_t k = 0; k < shards.size(); ++k) {
        const Shard& s = shards[k];
        if (s.missing || x < s.minX + s.moveX - 1 || x > s.maxX + s.moveX + 1 ||
            y < s.minY + s.moveY - 1 || y > s.maxY + s.moveY + 1) {
            continue;
        }
        float sx = x - s.moveX, sy = y - s.moveY;
        if (plateDistance(sx, sy) > 0 || nearestShard(shards, sx, sy) != static_cast<int>(k)) {
            continue;
        }
        float edge = shardEdgeDistance(shards, static_cast<int>(k), sx, sy);
        if (edge < crack) {
            return {};
        }
        Rgba c = glassAt(sx, sy);
        c.a = std::min(1.0f, c.a * s.alphaScale);
        if (edge < crack + 2.0f) {
            c = {0.95f, 1.0f, 1.0f, 0.8f};
        }
        return c;
    }
    return {};
}

} // namespace

Canvas drawLogo(const LogoShape& shape) {
    const Plane& d = shape.distance;
    const float ss = static_cast<float>(shape.supersample);
    Canvas big(d.width(), d.height());
    const float lightX = -0.6f, lightY = -0.8f; // towards the light: up and to the left
    for (int y = 0; y < d.height(); ++y) {
        float logoY = (static_cast<float>(y) + 0.5f) / ss;
        for (int x = 0; x < d.width(); ++x) {
            float sd = d.at(x, y);
            Rgba c;
            if (shape.shadowDistance.at(x, y) < outlineWidth + rimWidth) {
                c = {0.04f, 0.0f, 0.07f, 0.6f};
            }
            if (sd < outlineWidth + rimWidth) {
                c = sd < outlineWidth ? Rgba{0.07f, 0.02f, 0.10f, 1} : colours::mint;
            }
            if (sd < 0) {
                Rgba face = chrome(logoY);
                float inside = -sd;
                if (inside < bevelWidth) {
                    float nx, ny;
                    edgeNormal(d, x, y, nx, ny);
                    float lit = nx * lightX + ny * lightY;
                    face = brighten(face, 0.55f * lit * (1.0f - inside / bevelWidth));
                }
                c = face;
            }
            big.at(x, y) = c;
        }
    }
    return downsample(big, shape.supersample);
}

Canvas drawGlass(const LogoShape& shape, const Canvas& logo, bool shattered) {
    const Plane& d = shape.distance;
    const float ss = static_cast<float>(shape.supersample);
    std::vector<Shard> shards;
    if (shattered) {
        shards = makeShards();
        for (int y = 0; y < LogoMetrics::height; ++y) {
            for (int x = 0; x < LogoMetrics::width; ++x) {
                float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                if (plateDistance(px, py) > 0) {
                    continue;
                }
                Shard& s = shards[static_cast<std::size_t>(nearestShard(shards, px, py))];
                s.minX = std::min(s.minX, x);
                s.maxX = std::max(s.maxX, x + 1);
                s.minY = std::min(s.minY, y);
                s.maxY = std::max(s.maxY, y + 1);
            }
        }
    }
    Canvas big(d.width(), d.height());
    for (int y = 0; y < d.height(); ++y) {
        for (int x = 0; x < d.width(); ++x) {
            float sd = d.at(x, y);
            // The letters and their outline stay clear of glass: the composite weighs the
            // background by 1 - (glass + logo) alpha, which must not go below zero.
            if (sd < outlineWidth + rimWidth + 3.0f) {
                continue;
            }
            float px = (static_cast<float>(x) + 0.5f) / ss,
                  py = (static_cast<float>(y) + 0.5f) / ss;
            Rgba c = shattered ? shatteredGlassAt(shards, px, py) : glassAt(px, py);
            if (c.a > 0 && sd < outlineWidth + rimWidth + 5.0f) {
                c = {0.92f, 0.98f, 1.0f, 0.7f}; // bright lip where the letters sit in the glass
            }
            big.at(x, y) = c;
        }
    }
    Canvas glass = downsample(big, shape.supersample);
    // The composite weighs what lies below by 1 - (glass + logo) alpha: where the logo or its
    // shadow covers anything, the glass stays clear so that weight never goes negative.
    for (int y = 0; y < glass.height(); ++y) {
        for (int x = 0; x < glass.width(); ++x) {
            if (logo.at(x, y).a > 0.0f) {
                glass.at(x, y) = {};
            }
        }
    }
    return glass;
}

Plane rasterMask(const LogoShape& shape) {
    const int ss = shape.supersample;
    Plane inside(shape.distance.width(), shape.distance.height());
    for (std::size_t i = 0; i < inside.cells().size(); ++i) {
        // Inset from the edge so the dark outline stays crisp over the bars.
        inside.cells()[i] = shape.distance.cells()[i] < -1.5f ? 1.0f : 0.0f;
    }
    Plane mask = downsample(inside, ss);
    for (float& v : mask.cells()) {
        v = v >= 0.5f ? 1.0f : 0.0f;
    }
    return mask;
}

Plane glowMask() {
    using namespace screen;
    Plane mask(overlayWidth, overlayHeight);
    for (int py = 0; py < overlayHeight; ++py) {
        for (int px = 0; px < overlayWidth; ++px) {
            // Screen rectangle whose samples land on this pixel; the clamping sampler stretches
            // the border pixels out to the screen's edges.
            Point lo = glowPictureToScreen(
                {static_cast<float>(px) / overlayWidth, static_cast<float>(py) / overlayHeight});
            Point hi = glowPictureToScreen({static_cast<float>(px + 1) / overlayWidth,
                                            static_cast<float>(py + 1) / overlayHeight});
            if (px == 0) {
                lo.x = 0;
            }
            if (px == overlayWidth - 1) {
                hi.x = 1;
            }
            if (py == 0) {
                lo.y = 0;
            }
            if (py == overlayHeight - 1) {
                hi.y = 1;
            }
            for (const Star& star : glowStars) {
                Point nearest{std::clamp(star.centre.x, lo.x, hi.x),
                              std::clamp(star.centre.y, lo.y, hi.y)};
                if (starDistance(star, nearest) < glowReach(star.intensity)) {
                    mask.at(px, py) = 1.0f;
                }
            }
        }
    }
    return mask;
}

Canvas drawHeart() {
    // A chunky LED-matrix heart: '#' body, 'o' highlight.
    static const char* rows[] = {
        "..###...###..", ".#oo##.#####.", "#oo##########", "#o###########",
        "#############", "#############", ".###########.", "..#########..",
        "...#######...", "....#####....", ".....###.....", "......#......",
    };
    constexpr int cols = 13, count = 12, block = 18, led = 15;
    constexpr int originX = (LogoMetrics::width - cols * block) / 2;
    constexpr int originY = 168 - count * block / 2;
    Canvas heart(LogoMetrics::width, LogoMetrics::height);
    auto filled = [&](int c, int r) {
        return r >= 0 && r < count && c >= 0 && c < cols && rows[r][c] != '.';
    };
    for (int r = -1; r <= count; ++r) {
        for (int c = -1; c <= cols; ++c) {
            Rgba colour;
            if (filled(c, r)) {
                colour =
                    rows[r][c] == 'o' ? Rgba{0.55f, 0.42f, 0.50f, 1} : Rgba{0.50f, 0.07f, 0.26f, 1};
            } else if (filled(c - 1, r) || filled(c + 1, r) || filled(c, r - 1) ||
                       filled(c, r + 1)) {
                colour = {0.12f, 0.0f, 0.06f, 0.75f}; // dark halo around the LEDs
            } else {
                continue;
            }
            for (int y = 0; y < led; ++y) {
                for (int x = 0; x < led; ++x) {
                    bool corner = (x == 0 || x == led - 1) && (y == 0 || y == led - 1);
                    if (!corner) {
                        heart.at(originX + c * block + x, originY + r * block + y) = colour;
                    }
                }
            }
        }
    }
    return heart;
}

} // namespace pictures
