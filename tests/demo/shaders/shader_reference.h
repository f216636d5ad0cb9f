// CPU versions of the show's shader formulas, written independently of the HLSL so the GPU
// tests can compare read-back values with them.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace shader_reference {

struct Vec2 {
    float x = 0, y = 0;
};
struct Vec3 {
    float x = 0, y = 0, z = 0;
};
struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float s) {
    return {a.x * s, a.y * s};
}
inline float dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float length(Vec2 a) {
    return std::sqrt(dot(a, a));
}
inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, Vec3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator+(Vec3 a, float s) {
    return {a.x + s, a.y + s, a.z + s};
}
inline Vec3 operator-(Vec3 a, float s) {
    return {a.x - s, a.y - s, a.z - s};
}

inline float frac(float x) {
    return x - std::floor(x);
}
inline float clamp01(float x) {
    return std::min(std::max(x, 0.0f), 1.0f);
}
inline float lum(Vec3 c) {
    return c.x * 0.299f + c.y * 0.587f + c.z * 0.114f;
}

// ---- palettes --------------------------------------------------------------------------------

inline const std::array<Vec3, 8>& ditherPalette() {
    static const std::array<Vec3, 8> p = {{{0.718f, 0.859f, 0.718f},
                                           {1.0f, 0.718f, 0.431f},
                                           {1.0f, 0.573f, 0.286f},
                                           {0.859f, 0.431f, 0.286f},
                                           {0.859f, 0.286f, 0.145f},
                                           {0.573f, 0.145f, 0.286f},
                                           {0.431f, 0.145f, 0.286f},
                                           {0.282f, 0.141f, 0.282f}}};
    return p;
}

inline const std::array<Vec3, 15>& particlePalette() {
    static const std::array<Vec3, 15> p = {{{0.718f, 0.859f, 0.718f},
                                            {0.286f, 0.573f, 0.573f},
                                            {0.145f, 0.431f, 0.573f},
                                            {0.145f, 0.286f, 0.431f},
                                            {0.286f, 0.145f, 0.286f},
                                            {0.431f, 0.286f, 0.431f},
                                            {0.573f, 0.431f, 0.573f},
                                            {0.573f, 0.573f, 0.718f},
                                            {0.859f, 0.286f, 0.145f},
                                            {1.0f, 0.718f, 0.431f},
                                            {1.0f, 0.573f, 0.286f},
                                            {0.859f, 0.431f, 0.286f},
                                            {0.718f, 0.286f, 0.286f},
                                            {0.573f, 0.145f, 0.286f},
                                            {0.431f, 0.145f, 0.286f}}};
    return p;
}

inline Vec3 rasterColour(int bar) {
    // Runs of equal colours, as (first bar, colour).
    struct Run {
        int first;
        Vec3 colour;
    };
    static const Run runs[] = {
        {0, {0.573f, 0.573f, 0.718f}},  {1, {0.573f, 0.431f, 0.573f}},
        {2, {0.431f, 0.286f, 0.431f}},  {3, {0.145f, 0.431f, 0.573f}},
        {5, {0.286f, 0.573f, 0.573f}},  {7, {0.145f, 0.286f, 0.431f}},
        {9, {0.286f, 0.145f, 0.286f}},  {11, {0.431f, 0.145f, 0.286f}},
        {13, {0.859f, 0.431f, 0.286f}}, {15, {0.859f, 0.286f, 0.145f}},
        {17, {0.859f, 0.431f, 0.286f}}, {19, {1.0f, 0.573f, 0.286f}},
        {21, {1.0f, 0.718f, 0.431f}},   {25, {1.0f, 0.573f, 0.286f}},
        {28, {0.286f, 0.145f, 0.286f}}, {29, {0.145f, 0.286f, 0.431f}},
        {30, {0.145f, 0.431f, 0.573f}}, {31, {0.286f, 0.573f, 0.573f}},
    };
    Vec3 c{};
    for (const Run& r : runs)
        if (bar >= r.first)
            c = r.colour;
    return c;
}

// ---- hashes and dither -----------------------------------------------------------------------

inline uint32_t hash32(uint32_t x) {
    x += x << 10;
    x ^= x >> 6;
    x += x << 3;
    x ^= x >> 11;
    x += x << 15;
    return x;
}

inline float rand1000(uint32_t x) {
    return float(hash32(x) % 1000u) / 1000.0f;
}

// Both results the ordered quantiser can give for L, whatever the noise.
struct QuantiseChoices {
    float lo, hi;
};
inline QuantiseChoices quantiseChoices(float L, float step) {
    return {std::floor(L / step) * step, std::ceil(L / step) * step};
}

// ---- pyramid ---------------------------------------------------------------------------------

struct PyramidState {
    float rotation = 0;
    Vec2 position;
};

struct Triangle {
    Vec2 a, b, c;
};

inline const Vec2 kPyramidA{0.0f, 0.3f}, kPyramidB{-0.26f, -0.15f}, kPyramidC{0.26f, -0.15f};

inline Vec2 rotate(Vec2 p, float r) {
    return {p.x * std::cos(r) - p.y * std::sin(r), p.x * std::sin(r) + p.y * std::cos(r)};
}

inline Triangle pyramidTriangle(const PyramidState& s) {
    return {rotate(kPyramidA, s.rotation) + s.position, rotate(kPyramidB, s.rotation) + s.position,
            rotate(kPyramidC, s.rotation) + s.position};
}

// Barycentric weights (u towards b, v towards c) by solving p - a = u (b - a) + v (c - a).
inline Vec2 weights(Vec2 p, const Triangle& t) {
    Vec2 e0 = t.b - t.a, e1 = t.c - t.a, d = p - t.a;
    float den = e0.x * e1.y - e0.y * e1.x;
    if (den == 0.0f)
        return {-1.0f, -1.0f};
    return {(d.x * e1.y - d.y * e1.x) / den, (e0.x * d.y - e0.y * d.x) / den};
}

inline bool inside(Vec2 w) {
    return w.x >= 0 && w.y >= 0 && w.x + w.y <= 1;
}
inline bool inside(Vec2 p, const Triangle& t) {
    return inside(weights(p, t));
}

inline Vec4 pyramidPixel(Vec2 p, const PyramidState& s, float randomshit) {
    const Vec4 fill{1, 0.8f, 0, 1}, gap{1, 1, 1, 1}, none{0, 0, 0, 0};
    if (!inside(p, pyramidTriangle(s)))
        return none;
    Vec2 q = rotate(p - s.position, -s.rotation);
    Vec2 mAB = (kPyramidA + kPyramidB) * (0.5f * randomshit);
    Vec2 mAC = (kPyramidA + kPyramidC) * (0.5f * randomshit);
    Vec2 mBC = (kPyramidB + kPyramidC) * (0.5f * randomshit);
    if (inside(q, {kPyramidA, mAC, mAB}) || inside(q, {mAB, mBC, kPyramidB}) ||
        inside(q, {mAC, kPyramidC, mBC}))
        return fill;
    if (inside(q, {mAB, mBC, mAC}))
        return none;
    return gap;
}

// ---- raster bars -----------------------------------------------------------------------------

inline float rasterGlow(float v, int bar) {
    float centre = 0.625f + (bar + 0.5f) * 0.00921875f;
    float d = std::fabs(v - centre) * 3.3898306f;
    return d > 0 ? std::min(0.01f / d, 3.0f) : 3.0f;
}

// -1 outside the band.
inline int rasterBar(float v) {
    if (v < 0.625f || v > 0.92f)
        return -1;
    int bar = int((v - 0.625f) * 108.47458f);
    return bar >= 0 && bar <= 31 ? bar : -1;
}

// ---- explosion -------------------------------------------------------------------------------

inline float explosionHash(float x) {
    float f = frac(0.1031f * x);
    return frac(f * (f + 33.33f));
}

inline const std::array<Vec2, 6>& explosionCentres() {
    static const std::array<Vec2, 6> c = {{{0.295f, 0.755f},
                                           {0.433f, 0.84f},
                                           {0.5475f, 0.839f},
                                           {0.332f, 0.827f},
                                           {0.4f, 0.68f},
                                           {0.52f, 0.775f}}};
    return c;
}

// Dot j of explosion k in pixels.
inline Vec2 explosionDot(int k, int j, float frame, Vec2 resolution) {
    float T = frame - 12.0f * k;
    Vec2 centre{explosionCentres()[k].x * resolution.x, explosionCentres()[k].y * resolution.y};
    float a = 6.28318f * explosionHash(explosionHash(1000.0f * k) + float(j));
    return centre + Vec2{std::cos(a), std::sin(a)} * (2.0f * T);
}

// ---- glow logo -------------------------------------------------------------------------------

struct GlowLogoInputs {
    float time, logoGlow, scenechange;
    Vec2 resolution;
};

// margin receives how close the pixel comes to a discontinuity (palette pick or ray threshold),
// where GPU and CPU rounding may choose differently.
inline Vec4 starGlow(Vec2 uv, const GlowLogoInputs& in, float* margin) {
    struct Star {
        float x, y, intensity;
    };
    static const Star stars[6] = {{0.27f, 0.253f, 0.15f},   {0.423f, 0.18f, 0.025f},
                                  {0.549f, 0.181f, 0.025f}, {0.31f, 0.2f, 0.02f},
                                  {0.39f, 0.33f, 0.015f},   {0.52f, 0.245f, 0.025f}};
    const float t = in.time;
    const float aspect = in.resolution.x / in.resolution.y;

    Vec2 P = (uv - Vec2{0.5f, 0.5f}) * 8.0f;
    float f = 1, g = 1, amp = 1, ph = 0;
    for (int r = 0; r < 7; ++r) {
        float c = std::cos(f * P.y - ph + t / g) / amp;
        float s = std::sin(f * P.x - ph + t / g) / amp;
        P = P + Vec2{c - 0.3f * s, s + 0.3f * c};
        f *= 1.93f;
        g *= 1.15f;
        amp *= 1.7f;
        ph += 0.05f + 0.1f * t * g;
    }
    const float pick = 14.0f * std::fabs(std::sin(P.x + P.y + t));
    *margin = std::fabs(pick - std::round(pick)) / 14.0f;
    int index = std::min(int(pick), 14);
    Vec3 pal = particlePalette()[index];

    Vec4 total;
    const float th = 1.145f - std::min(std::max(in.logoGlow, 0.149f), 2.9f);
    for (const Star& star : stars) {
        Vec2 v = Vec2{uv.x * aspect, uv.y} - Vec2{star.x * aspect, star.y};
        float d = length(v);
        Vec2 e = v * (1.0f / d);
        float S = 0;
        for (int n = 1; n <= 29; ++n) {
            float b = 0.25f * (-0.25f * t - 2.0f * n);
            float s = std::pow(std::fabs(dot(e, {std::cos(b), std::sin(b)})), 2.05f);
            *margin = std::min(*margin, std::fabs(s - th));
            if (s > th)
                S += 1.85f * (0.5f + 0.5f * std::sin(0.3f * n * t)) * (0.5f / (d * d)) * 0.5f * s /
                     n;
        }
        Vec3 core = Vec3{0.9f, 0.6f, 0.3f} * (S * star.intensity * std::exp(-60.0f * d));
        float w = 0.5f * pal.x + S * 0.25f * star.intensity * std::exp(-20.0f * d);
        Vec3 colour =
            in.scenechange == 0 ? core + core * pal * (0.5f * w) : core + pal * (0.05f * w);
        total = {total.x + colour.x, total.y + colour.y, total.z + colour.z, total.w + w};
    }
    return total;
}

// ---- sampling --------------------------------------------------------------------------------

// A texture as a program samples it: w x h texels, row 0 at v = 0.
struct Image {
    int w = 1, h = 1;
    std::vector<Vec4> texels;
    Vec4 at(int x, int y) const {
        return texels[size_t(std::clamp(y, 0, h - 1)) * w + std::clamp(x, 0, w - 1)];
    }
};

inline Vec4 lerp(Vec4 a, Vec4 b, float t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
            a.w + (b.w - a.w) * t};
}

// Sampler s0: the four nearest texel centres weighted by distance, clamped at the edges.
inline Vec4 sampleLinear(const Image& im, Vec2 uv) {
    const float x = uv.x * im.w - 0.5f, y = uv.y * im.h - 0.5f;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float tx = x - std::floor(x), ty = y - std::floor(y);
    return lerp(lerp(im.at(x0, y0), im.at(x0 + 1, y0), tx),
                lerp(im.at(x0, y0 + 1), im.at(x0 + 1, y0 + 1), tx), ty);
}

// How far (in texels) x lies from a boundary between texels 0 .. n - 1 that changes the pick.
inline float boundaryDistance(float x, int n) {
    const float nearest = std::round(x);
    return nearest >= 1 && nearest <= n - 1 ? std::fabs(x - nearest) : 1.0f;
}

// Sampler s3: the texel the coordinate falls in, clamped at the edges. margin receives the
// distance to the nearest texel boundary, where GPU rounding may pick the neighbour.
inline Vec4 samplePoint(const Image& im, Vec2 uv, float* margin) {
    const float x = uv.x * im.w, y = uv.y * im.h;
    *margin = std::min({*margin, boundaryDistance(x, im.w), boundaryDistance(y, im.h)});
    return im.at(int(std::floor(x)), int(std::floor(y)));
}

inline Vec3 rgb(Vec4 c) {
    return {c.x, c.y, c.z};
}
inline Vec4 scale(Vec4 c, float s) {
    return {c.x * s, c.y * s, c.z * s, c.w * s};
}

// ---- particle glow ---------------------------------------------------------------------------

inline Vec3 glowBlurPixel(const Image& im, Vec2 uv, float glowrad, float glowintens) {
    Vec3 c = rgb(sampleLinear(im, uv));
    const float y = lum(c);
    c = (c - y) * 1.25f + y;
    Vec3 sum{};
    float weights = 0;
    for (int k = 1; k <= 10; ++k) {
        const float r = glowrad * k / 10, w = 1 / (r + 1);
        for (int j = 0; j < 32; ++j) {
            const float a = j * 6.28318f / 32;
            sum = sum + rgb(sampleLinear(im, uv + Vec2{std::cos(a), std::sin(a)} * (r / 1000))) * w;
            weights += w;
        }
    }
    const Vec3 out = c + sum * (0.35f * glowintens / weights);
    return {clamp01(out.x), clamp01(out.y), clamp01(out.z)};
}

// ---- composite -------------------------------------------------------------------------------

// The thirteen inputs (t8 is bound but unused) and the parameters the composite reads.
struct CompositeInputs {
    Image pyramid, particle, logo, logo2, scroller, logo3, logo4, glowstuff, rasters, explosion,
        heart, creds;
    float time, fadeIn, logoGlow, glass1, lightSaturation, logoOpacity, brokenlogo, heartOpacity,
        credsvisibility;
    Vec2 resolution{1600, 900};
};

// margin receives how close the pixel comes to a discontinuity (a point sample's texel
// boundary, a credits column boundary, the broken logo's mask threshold).
inline Vec3 compositePixel(Vec2 uv, const CompositeInputs& in, float* margin) {
    const float g = in.glass1;
    const Vec2 anchor{0.5f, 0.86f}, R = in.resolution;
    const Vec2 lu{anchor.x + R.x / 764 * (uv.x - anchor.x),
                  anchor.y + R.y / 348 * (uv.y - anchor.y)};
    const Vec4 P = sampleLinear(in.pyramid, uv), Q = sampleLinear(in.particle, uv);
    const Vec4 G = sampleLinear(in.glowstuff, uv), B = sampleLinear(in.rasters, uv);
    const Vec3 S = rgb(sampleLinear(in.scroller, uv));
    const Vec4 L1 = scale(sampleLinear(in.logo, lu), in.logoOpacity);
    const Vec4 L2 =
        scale(samplePoint(in.brokenlogo == 0 ? in.logo2 : in.logo3, lu, margin), in.logoOpacity);
    const Vec4 K = sampleLinear(in.logo4, lu);
    const float kr = K.x * in.logoOpacity, ka = K.w * in.logoOpacity;
    const Vec4 H = samplePoint(in.heart, lu, margin);
    const Vec2 fromAnchor = uv - anchor;
    const float h = std::exp(-dot(fromAnchor, fromAnchor) / 0.09f) * in.logoGlow * g * L2.w;

    Vec2 cu{0.5f + R.x / 299 * (uv.x - 0.5f), 0.1f + R.y / 17 * (uv.y - 0.1f)};
    const float cell = (299 * (cu.x - 0.5f) + 149.5f) / 13;
    *margin = std::min(*margin, std::fabs(cell - std::round(cell)));
    cu.y += 0.15f * std::sin(0.273f * std::floor(cell) + 2 * in.time);
    const Vec3 C = rgb(samplePoint(in.creds, cu, margin));

    Vec3 base = rgb(Q) * Q.w + S + C * in.credsvisibility;
    base = rgb(P) * P.w + base * (1 - P.w);
    Vec3 colour = base * (1 - (g * L2.w + L1.w)) + rgb(L1) * L1.w +
                  rgb(L2) * (g * L2.w + 0.15f * B.w * L2.w) + Vec3{1, 0.5f, 0.2f} * h;
    if (in.brokenlogo == 1) {
        *margin = std::min(*margin, std::fabs(kr - 0.5f));
        const float m = kr >= 0.5f ? 1.0f : 0.0f;
        colour =
            colour + rgb(B) * (m * ka) + rgb(G) * ((1 - m) * G.w * 0.25f * in.logoOpacity * 0.5f);
    }
    colour = colour * in.fadeIn + rgb(sampleLinear(in.explosion, uv));
    const float y = 0.5f * lum(colour);
    colour = (colour - y) * in.lightSaturation + y;
    return colour + (rgb(H) * (in.heartOpacity * 1.9f) - colour) * (H.w * in.heartOpacity * 0.9f);
}

// ---- particles -------------------------------------------------------------------------------

// The 80-byte particle record in its byte order.
struct Particle {
    float color[4];
    uint32_t age;
    float position[4];
    uint32_t isActive;
    uint32_t uniqueID;
    uint32_t collisionStatus;
    float speed[2];
    float direction[2];
    uint32_t lastSpawnedID;
    float waveInfo[2];
    float padding;
};
static_assert(sizeof(Particle) == 80, "particle record is 80 bytes");

inline Vec2 outwardNormal(Vec2 p, Vec2 q, Vec2 r) {
    Vec2 e = q - p;
    Vec2 n = Vec2{e.y, -e.x} * (1.0f / length(e));
    return dot(n, r - p) > 0 ? n * -1.0f : n;
}

inline float spawnY(uint32_t i) {
    float u1 = rand1000(i), u2 = rand1000(8327u + i);
    float g = std::sqrt(-2.0f * std::log(u1)) * std::cos(6.28318f * u2);
    g = std::isnan(g) ? -5.0f : std::min(std::max(g, -5.0f), 5.0f);
    return (g / 5.0f + 1.0f) / 2.0f - 0.5f;
}

inline void setColour(Particle& p, Vec3 c) {
    p.color[0] = c.x;
    p.color[1] = c.y;
    p.color[2] = c.z;
    p.color[3] = 1;
}

// One simulation step of the whole buffer.
inline std::vector<Particle> particleStep(const std::vector<Particle>& prev,
                                          const PyramidState& pyramid, float particleCount,
                                          float partikelfart) {
    std::vector<Particle> next = prev;
    const uint32_t cursor = prev[0].lastSpawnedID;
    const uint32_t count = particleCount >= 1 ? uint32_t(particleCount) : 0u;
    const Triangle tri = pyramidTriangle(pyramid);
    next[0].lastSpawnedID = (count + cursor) % 1000u;
    for (uint32_t i = 1; i < prev.size(); ++i) {
        Particle& p = next[i];
        if (p.isActive) {
            float wave = p.waveInfo[0] > 0
                             ? std::sin(float(p.age) * 0.1f * p.waveInfo[1]) * p.waveInfo[0]
                             : 0.0f;
            Vec2 vel{p.direction[0] * p.speed[0], p.direction[1] * p.speed[1]};
            Vec2 pos{p.position[0], p.position[1]};
            Vec2 c = pos + vel * 0.004f + Vec2{0, 0.004f * wave};
            Vec2 w = weights(c, tri);
            Vec3 hitColour = particlePalette()[hash32(p.uniqueID) % 15u];
            if (inside(w)) {
                Vec2 n = w.x + w.y > 0.75f ? outwardNormal(tri.b, tri.c, tri.a)
                         : w.y < 0.75f     ? outwardNormal(tri.a, tri.b, tri.c)
                                           : outwardNormal(tri.a, tri.c, tri.b);
                float len = length(vel);
                Vec2 in = len > 0 ? vel * (1.0f / len) : n * -1.0f;
                Vec2 out = in - n * (2.0f * dot(in, n));
                out = out * (1.0f / length(out));
                p.collisionStatus = 1;
                p.direction[0] = out.x;
                p.direction[1] = out.y;
                p.speed[0] = p.speed[1] = len;
                setColour(p, hitColour);
                pos = pos * 1.05f + out * 0.01f;
            } else {
                if (p.collisionStatus == 1) {
                    p.collisionStatus = 2;
                    setColour(p, hitColour);
                }
                pos = c;
            }
            p.position[0] = pos.x;
            p.position[1] = pos.y;
            p.age += 1;
            if (c.x < -1 || c.y > 0.99f || c.y < -0.9f)
                p.isActive = 0;
        } else if (i >= cursor && i - cursor < count) {
            p = prev[i];
            for (float& v : p.color)
                v = 1;
            p.age = 0;
            const float pos[4] = {1, spawnY(i), 0, 1};
            std::copy(pos, pos + 4, p.position);
            p.isActive = 1;
            p.uniqueID = i;
            p.collisionStatus = 0;
            p.speed[0] = 5 * partikelfart + rand1000(1234u + i) * 5 - 2.5f;
            p.speed[1] = 0;
            p.direction[0] = -1;
            p.direction[1] = 0;
            p.waveInfo[0] = rand1000(5678u + i) < 0.65f ? rand1000(9012u + i) * 1.25f : 0.0f;
            p.waveInfo[1] = 0.3f * (0.8f + 0.4f * rand1000(3456u + i));
            p.padding = 0;
        }
    }
    return next;
}

// ---- message layout --------------------------------------------------------------------------

struct Glyph {
    int row, x, width;
};

// The 36-byte glyph quad record.
struct CharData {
    float quadScaleBias[4];
    float uvScaleBias[4];
    int32_t atlasId;
};
static_assert(sizeof(CharData) == 36, "glyph record is 36 bytes");

inline std::vector<CharData> messageLayout(const std::vector<int32_t>& codes,
                                           const std::vector<Glyph>& table, float fs,
                                           Vec2 resolution) {
    std::vector<CharData> out(codes.size());
    float pen = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (i > 0) {
            pen += table[codes[i - 1]].width * fs;
            if (codes[i - 1] == 19)
                pen -= 180 * fs;
        }
        const Glyph& g = table[codes[i]];
        const bool second = g.row >= 3;
        out[i] = {{g.width * fs / (2 * resolution.x), 1,
                   pen / resolution.x + (g.width - 180) * fs / (2 * resolution.x), 0},
                  {float(g.width), 1106, float(g.x), 1106.0f * (second ? g.row - 3 : g.row)},
                  second ? 2 : 1};
    }
    return out;
}

} // namespace shader_reference
