// Programs that draw a picture from parameters alone (raster bars, explosion, pyramid) and the
// full-screen vertex programs' orientation, read back and compared with the formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/shaders/gpu_harness.h"
#include "demo/shaders/shader_blocks.h"
#include "demo/shaders/shader_reference.h"

namespace ref = shader_reference;

namespace {

using FullscreenPrograms = ShaderTest;

// ---- raster bars -----------------------------------------------------------------------------

TEST_F(FullscreenPrograms, RasterBarsFollowTheirPaletteAndGlowInsideTheBandOnly) {
    const int h = 900;
    const float t = 0.37f, logoGlow = 0.2f;
    ContextBlock ctx;
    ctx.setTime(t);
    ctx.set("LogoGlow", logoGlow);
    GpuTexture target = gpu.renderTarget(2, h);
    gpu.draw(SHADER(vsFullscreen), SHADER(psRasters), {}, ctx, target, 3);
    std::vector<Rgba> px = gpu.read(target);

    // Bar 0 has speed 2.5 and phase 0, so its brightness is known exactly.
    const float bar0Brightness = std::sin(2.5f * t) * 0.5f + 0.8f + logoGlow;
    float brightness[32] = {};
    int barRows = 0;
    for (int y = 0; y < h; ++y) {
        const float v = pixelV(y, h);
        const float cell = (v - 0.625f) * 108.47458f;
        // Rows on a band or bar boundary could fall either way.
        if (std::fabs(cell - std::round(cell)) < 1e-3f)
            continue;
        const Rgba& o = px[size_t(y) * 2];
        const int bar = ref::rasterBar(v);
        if (bar < 0) {
            EXPECT_TRUE(sameRgba(o, {0, 0, 0, 1})) << y;
            continue;
        }
        ++barRows;
        const ref::Vec3 c = ref::rasterColour(bar);
        ASSERT_GT(o.a, 0.0f) << y;
        EXPECT_TRUE(sameRgba({o.r / o.a, o.g / o.a, o.b / o.a, 1}, {c.x, c.y, c.z, 1}, 1e-4f))
            << "bar " << bar;
        // alpha = glow x brightness; the brightness is one value per bar.
        const float b = o.a / ref::rasterGlow(v, bar);
        if (brightness[bar] == 0.0f)
            brightness[bar] = b;
        EXPECT_NEAR(b, brightness[bar], 1e-3f * brightness[bar]) << "bar " << bar;
    }
    EXPECT_GT(barRows, 250);
    EXPECT_NEAR(brightness[0], bar0Brightness, 1e-4f);
}

TEST_F(FullscreenPrograms, RasterGlowPeaksAtThreeOnABarCentre) {
    // Bar b's centre line is (4029.5 + 59 b) / 6400: a pixel centre of a 6400-row target.
    const int h = 6400;
    ContextBlock ctx;
    GpuTexture target = gpu.renderTarget(1, h);
    gpu.draw(SHADER(vsFullscreen), SHADER(psRasters), {}, ctx, target, 3);
    std::vector<Rgba> px = gpu.read(target);
    const float bar0Brightness = 0.8f; // t = 0, LogoGlow = 0
    const int centreRow = 4029;
    EXPECT_NEAR(px[centreRow].a, 3.0f * bar0Brightness, 1e-4f);
    EXPECT_NEAR(px[centreRow].r, 3.0f * bar0Brightness * 0.573f, 1e-4f);
}

// ---- explosion -------------------------------------------------------------------------------

// Expected explosion picture; -1 marks pixels too close to a dot's rim to judge. The dot
// angles come from a fractional hash whose float rounding differs between compilers, which
// moves a dot by up to a few per cent of its distance from the centre.
std::vector<float> explosionAlpha(int w, int h, float frame) {
    std::vector<float> alpha(size_t(w) * h, 0.0f);
    const ref::Vec2 res{float(w), float(h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const ref::Vec2 p{x + 0.5f, y + 0.5f};
            float a = 0;
            for (int k = 0; k < 6; ++k) {
                const float T = frame - 12.0f * k;
                const ref::Vec2 centre{ref::explosionCentres()[k].x * res.x,
                                       ref::explosionCentres()[k].y * res.y};
                if (T < 0 || ref::length(p - centre) > 2.5f + 2 * T)
                    continue;
                for (int j = 0; j < 8; ++j) {
                    const float d = ref::length(p - ref::explosionDot(k, j, frame, res));
                    if (std::fabs(d - 2.5f) < 0.05f + 0.08f * T)
                        a = -1e9f;
                    if (d < 2.5f)
                        a += 0.5f;
                }
            }
            alpha[size_t(y) * w + x] = a < 0 ? -1 : a;
        }
    return alpha;
}

TEST_F(FullscreenPrograms, ExplosionDotsOnlyWhileTheSwitchIsExactlyOne) {
    const int w = 320, h = 180;
    struct Case {
        float explosion, frame;
    };
    for (const Case c : {Case{1.0f, 30.0f}, Case{1.0f, 11.5f}, Case{1.0f, 40.0f}, Case{0.0f, 30.0f},
                         Case{0.999f, 30.0f}, Case{2.0f, 30.0f}}) {
        ContextBlock ctx;
        ctx.setResolution(float(w), float(h));
        ctx.set("PARTICLEEXPLOSION", c.explosion);
        ctx.set("explosionframe", c.frame);
        GpuTexture target = gpu.renderTarget(w, h);
        // The show's pair on a black target: pixels that no burst reaches (all of them while the
        // switch is off) are not drawn and must read as the zero the dot test would give.
        gpu.draw(SHADER(vsExplosion), SHADER(psExplosion), {}, ctx, target, 3);
        std::vector<Rgba> px = gpu.read(target);
        const bool on = c.explosion == 1.0f;
        std::vector<float> expected = explosionAlpha(w, h, c.frame);
        int lit = 0;
        for (size_t i = 0; i < px.size(); ++i) {
            const float a = on ? expected[i] : 0.0f;
            if (a < 0)
                continue;
            lit += a > 0;
            ASSERT_TRUE(sameRgba(px[i], {a, a * 0.8f, a * 0.6f, a}, 1e-5f))
                << "pixel " << i << " frame " << c.frame;
        }
        if (on) {
            EXPECT_GT(lit, 0) << "frame " << c.frame;
        }
    }
}

TEST_F(FullscreenPrograms, ExplosionStartsWithAllDotsOnItsCentre) {
    // At frame 12 explosion 1 has T = 0: its eight dots coincide at the centre.
    const int w = 1600, h = 900;
    ContextBlock ctx;
    ctx.set("PARTICLEEXPLOSION", 1.0f);
    ctx.set("explosionframe", 12.0f);
    GpuTexture target = gpu.renderTarget(w, h);
    gpu.draw(SHADER(vsFullscreen), SHADER(psExplosion), {}, ctx, target, 3);
    std::vector<Rgba> px = gpu.read(target);
    const int cx = int(0.433f * w), cy = int(0.84f * h);
    EXPECT_TRUE(sameRgba(px[size_t(cy) * w + cx], {4.0f, 3.2f, 2.4f, 4.0f}, 1e-5f));
    // Explosion 2 (from frame 24) has not started.
    const Rgba& later = px[size_t(0.839f * h) * w + size_t(0.5475f * w)];
    EXPECT_EQ(later.a, 0.0f);
}

// ---- pyramid ---------------------------------------------------------------------------------

struct PyramidRender {
    std::vector<Rgba> pixels;
    int w, h;
    ref::Vec2 clip(int x, int y) const { return {2 * pixelU(x, w) - 1, 1 - 2 * pixelV(y, h)}; }
};

PyramidRender drawPyramid(GpuHarness& gpu, const ref::PyramidState& s, float randomshit) {
    const float state[3] = {s.rotation, s.position.x, s.position.y};
    GpuBuffer buffer = gpu.structuredBuffer(state, 12, 1);
    ContextBlock ctx;
    ctx.set("randomshit", randomshit);
    PyramidRender r{{}, 240, 240};
    GpuTexture target = gpu.renderTarget(r.w, r.h);
    // Four instances with blending off, as the show draws it.
    gpu.draw(SHADER(vsFullscreenFlipY), SHADER(psPyramid), {buffer}, ctx, target, 3, 4,
             {0.5f, 0.5f, 0.5f, 0.5f});
    r.pixels = gpu.read(target);
    return r;
}

Rgba rgba(const ref::Vec4& c) {
    return {c.x, c.y, c.z, c.w};
}

// Compares every pixel whose expected colour does not change within a small neighbourhood;
// returns how many white gap pixels were compared.
int expectPyramid(const PyramidRender& r, const ref::PyramidState& s, float randomshit) {
    int compared = 0, gaps = 0;
    const float e = 2e-4f;
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) {
            const ref::Vec2 p = r.clip(x, y);
            const ref::Vec4 want = ref::pyramidPixel(p, s, randomshit);
            bool stable = true;
            for (ref::Vec2 d :
                 {ref::Vec2{e, 0}, ref::Vec2{-e, 0}, ref::Vec2{0, e}, ref::Vec2{0, -e}}) {
                const ref::Vec4 n = ref::pyramidPixel(p + d, s, randomshit);
                stable = stable && n.x == want.x && n.y == want.y && n.w == want.w;
            }
            if (!stable)
                continue;
            ++compared;
            gaps += want.x == 1 && want.y == 1;
            const Rgba& got = r.pixels[size_t(y) * r.w + x];
            EXPECT_TRUE(sameRgba(got, rgba(want))) << "pixel " << x << "," << y;
        }
    EXPECT_GT(compared, r.w * r.h * 9 / 10);
    return gaps;
}

TEST_F(FullscreenPrograms, PyramidTilesExactlyAtRandomshitOne) {
    const ref::PyramidState s{0.3f, {0.1f, -0.05f}};
    PyramidRender r = drawPyramid(gpu, s, 1.0f);
    EXPECT_EQ(expectPyramid(r, s, 1.0f), 0);

    // Named points: the centre is transparent, a point near corner A is filled, far outside is
    // transparent.
    auto at = [&](ref::Vec2 clip) {
        const int x = int((clip.x + 1) / 2 * r.w), y = int((1 - clip.y) / 2 * r.h);
        return r.pixels[size_t(y) * r.w + x];
    };
    EXPECT_TRUE(sameRgba(at(s.position), {0, 0, 0, 0}));
    EXPECT_TRUE(sameRgba(at(ref::rotate({0.0f, 0.25f}, s.rotation) + s.position), {1, 0.8f, 0, 1}));
    EXPECT_TRUE(sameRgba(at({-0.9f, 0.9f}), {0, 0, 0, 0}));
}

TEST_F(FullscreenPrograms, PyramidOpensWhiteGapsForOtherRandomshitValues) {
    const ref::PyramidState s{-1.1f, {-0.2f, 0.15f}};
    for (float randomshit : {0.6f, 1.4f, 3.99f}) {
        PyramidRender r = drawPyramid(gpu, s, randomshit);
        const int gaps = expectPyramid(r, s, randomshit);
        if (randomshit < 1) {
            EXPECT_GT(gaps, 0) << randomshit;
        }
    }
}

// ---- full-screen vertex programs -------------------------------------------------------------

TEST_F(FullscreenPrograms, FullscreenTrianglesMapRowsUpOrDown) {
    const int w = 4, h = 4;
    std::vector<Rgba> texels;
    for (int i = 0; i < w * h; ++i)
        texels.push_back({float(i), float(i % w), float(i / w), 1});
    GpuTexture input = gpu.texture(w, h, texels);
    ContextBlock ctx;
    struct Case {
        ShaderBlock vs;
        bool flipped;
        unsigned vertices;
    };
    for (const Case& c :
         {Case{SHADER(vsFullscreen), false, 3}, Case{SHADER(vsFullscreen), false, 192},
          Case{SHADER(vsFullscreenFlipY), true, 3}, Case{SHADER(vsFullscreenFlipY2), true, 3}}) {
        GpuTexture target = gpu.renderTarget(w, h);
        gpu.draw(c.vs, SHADER(psCopy), {input}, ctx, target, c.vertices);
        std::vector<Rgba> px = gpu.read(target);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sourceRow = c.flipped ? h - 1 - y : y;
                EXPECT_EQ(px[size_t(y) * w + x].r, float(sourceRow * w + x))
                    << "pixel " << x << "," << y << " flipped " << c.flipped;
            }
    }
}

} // namespace
