// The final composite and the glow logo at every pixel of small targets, against the formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "shaders/gpu_harness.h"
#include "shaders/shader_blocks.h"
#include "shaders/shader_reference.h"

namespace ref = shader_reference;

namespace {

class Composite : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gpu.ready())
            GTEST_SKIP() << "no Direct3D device";
    }
    GpuHarness gpu;
};

Rgba toRgba(ref::Vec4 c) {
    return {c.x, c.y, c.z, c.w};
}

ref::CompositeInputs compositeInputs() {
    ref::CompositeInputs in{};
    in.pyramid = {0.9f, 0.2f, 0.1f, 0.4f};
    in.particle = {0.1f, 0.7f, 0.3f, 0.6f};
    in.logo = {0.8f, 0.8f, 0.1f, 0.3f};
    in.logo2 = {0.2f, 0.3f, 0.9f, 0.5f};
    in.scroller = {0.05f, 0.1f, 0.15f, 1.0f};
    in.logo3 = {0.6f, 0.1f, 0.6f, 0.7f};
    in.logo4 = {0.8f, 0.2f, 0.2f, 0.9f};
    in.glowstuff = {0.3f, 0.9f, 0.5f, 0.8f};
    in.rasters = {0.7f, 0.4f, 0.2f, 0.5f};
    in.explosion = {0.02f, 0.03f, 0.04f, 0.5f};
    in.heart = {0.9f, 0.1f, 0.2f, 0.6f};
    in.creds = {0.4f, 0.5f, 0.6f, 1.0f};
    in.time = 2.0f;
    in.fadeIn = 0.9f;
    in.logoGlow = 0.6f;
    in.glass1 = 0.8f;
    in.lightSaturation = 1.3f;
    in.logoOpacity = 0.85f;
    in.brokenlogo = 0;
    in.heartOpacity = 0.7f;
    in.credsvisibility = 0.5f;
    return in;
}

std::vector<Rgba> drawComposite(GpuHarness& gpu, const ref::CompositeInputs& in, int w, int h) {
    const ref::Vec4 slots[13] = {
        in.pyramid,   in.particle,      in.logo,    in.logo2,     in.scroller, in.logo3, in.logo4,
        in.glowstuff, {50, 50, 50, 50}, in.rasters, in.explosion, in.heart,    in.creds};
    std::vector<GpuTexture> textures;
    std::vector<Input> views;
    for (const ref::Vec4& c : slots) {
        textures.push_back(gpu.uniformTexture(toRgba(c)));
        views.push_back(textures.back());
    }
    ContextBlock ctx;
    ctx.setTime(in.time);
    ctx.set("FadeIn", in.fadeIn);
    ctx.set("LogoGlow", in.logoGlow);
    ctx.set("Glass1opacity", in.glass1);
    ctx.set("Light_n_Saturation", in.lightSaturation);
    ctx.set("logoOpacity", in.logoOpacity);
    ctx.set("Brokenlogo", in.brokenlogo);
    ctx.set("heartOpacity", in.heartOpacity);
    ctx.set("credsvisibility", in.credsvisibility);
    // Parameters the composite must not read.
    ctx.set("Glass2opacity", 40.0f);
    ctx.set("Composaturation", 40.0f);
    ctx.set("glowopac", 40.0f);
    GpuTexture target = gpu.renderTarget(w, h);
    gpu.draw(SHADER(vsFullscreen), SHADER(psComposite), views, ctx, target, 3);
    return gpu.read(target);
}

TEST_F(Composite, LayersCombineAsTheFormulaSaysForEachLogoState) {
    const int w = 32, h = 18;
    struct Case {
        float brokenlogo, logo4Red;
    };
    // Whole logo (glass from logoTex2), broken logo over raster bars (mask red >= 0.5) and
    // broken logo over the glow (mask red below 0.5).
    for (const Case c : {Case{0, 0.8f}, Case{1, 0.8f}, Case{1, 0.3f}}) {
        ref::CompositeInputs in = compositeInputs();
        in.brokenlogo = c.brokenlogo;
        in.logo4.x = c.logo4Red;
        std::vector<Rgba> px = drawComposite(gpu, in, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const ref::Vec3 want = ref::compositePixel({pixelU(x, w), pixelV(y, h)}, in);
                const Rgba& o = px[size_t(y) * w + x];
                const float tol = 1e-4f;
                ASSERT_NEAR(o.r, want.x, tol) << x << "," << y << " broken " << c.brokenlogo;
                ASSERT_NEAR(o.g, want.y, tol) << x << "," << y;
                ASSERT_NEAR(o.b, want.z, tol) << x << "," << y;
                ASSERT_EQ(o.a, 1.0f);
            }
    }
}

TEST_F(Composite, HaloCentresOnTheLogoAnchor) {
    ref::CompositeInputs in = compositeInputs();
    in.logoGlow = 5.0f;
    const int w = 40, h = 50; // pixel (20, 43) has its centre at uv (0.5125, 0.87)
    std::vector<Rgba> px = drawComposite(gpu, in, w, h);
    const Rgba& nearAnchor = px[size_t(43) * w + 20];
    const Rgba& far = px[size_t(2) * w + 2];
    const ref::Vec3 wantNear = ref::compositePixel({pixelU(20, w), pixelV(43, h)}, in);
    EXPECT_NEAR(nearAnchor.r, wantNear.x, 1e-4f);
    EXPECT_GT(nearAnchor.r - far.r, 0.5f);
}

// A composite in which only the given slot shows: every other input is transparent black,
// and the parameters pass that layer straight through.
std::vector<Rgba> drawSingleLayer(GpuHarness& gpu, int slot, GpuTexture layer, ContextBlock ctx,
                                  int w, int h) {
    std::vector<GpuTexture> textures;
    std::vector<Input> views;
    for (int i = 0; i < 13; ++i) {
        textures.push_back(i == slot ? std::move(layer) : gpu.uniformTexture({0, 0, 0, 0}));
        views.push_back(textures.back());
    }
    ctx.set("FadeIn", 1.0f);
    ctx.set("Light_n_Saturation", 1.0f);
    ctx.set("logoOpacity", 1.0f);
    GpuTexture target = gpu.renderTarget(w, h);
    gpu.draw(SHADER(vsFullscreen), SHADER(psComposite), views, ctx, target, 3);
    return gpu.read(target);
}

TEST_F(Composite, LogoSitsAtItsNativeSizeAroundTheAnchor) {
    // logoTex as a 764-texel ramp (texel i holds i / 764). With R = 1600 x 900 and a 400-pixel
    // target, pixel x samples the logo at texel coordinate 4x - 416, so linear filtering gives
    // (4x - 416.5) / 764 between the ends.
    std::vector<Rgba> ramp;
    for (int i = 0; i < 764; ++i)
        ramp.push_back({i / 764.0f, 0, 0, 1});
    const int w = 400;
    std::vector<Rgba> px = drawSingleLayer(gpu, 2, gpu.texture(764, 1, ramp), ContextBlock(), w, 2);
    for (int x = 0; x < w; ++x) {
        const float c = std::clamp(4.0f * x - 416.5f, 0.0f, 763.0f);
        EXPECT_NEAR(px[size_t(x)].r, c / 764, 1e-4f) << x;
    }
}

TEST_F(Composite, CreditsColumnsBobOnTheirOwnPhase) {
    // CredsImage as 68 rows, row r holding r / 68 in red; point sampling shows which row each
    // pixel reads after the column's wave offset.
    std::vector<Rgba> rows;
    for (int r = 0; r < 68; ++r)
        rows.push_back({r / 68.0f, 0, 0, 1});
    const float t = 0.8f, visibility = 0.5f;
    ContextBlock ctx;
    ctx.setTime(t);
    ctx.set("credsvisibility", visibility);
    const int w = 299, h = 90;
    std::vector<Rgba> px = drawSingleLayer(gpu, 12, gpu.texture(1, 68, rows), ctx, w, h);
    int compared = 0, distinctRows = 0;
    float previous = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float cx = 0.5f + 1600.0f / 299 * (pixelU(x, w) - 0.5f);
            const float cell = (299 * (cx - 0.5f) + 149.5f) / 13;
            const float column = std::floor(cell);
            const float cy = 0.1f + 900.0f / 17 * (pixelV(y, h) - 0.1f) +
                             0.15f * std::sin(0.273f * column + 2 * t);
            const float texel = cy * 68;
            if (std::fabs(cell - std::round(cell)) < 1e-3f ||
                std::fabs(texel - std::round(texel)) < 1e-2f)
                continue;
            ++compared;
            const float row = std::clamp(std::floor(texel), 0.0f, 67.0f);
            const float got = px[size_t(y) * w + x].r;
            EXPECT_NEAR(got, visibility * row / 68, 1e-5f) << x << "," << y;
            if (x == 150 && got != previous) {
                ++distinctRows;
                previous = got;
            }
        }
    EXPECT_GT(compared, w * h * 9 / 10);
    EXPECT_GT(distinctRows, 3);
}

// ---- glow logo -------------------------------------------------------------------------------

std::vector<Rgba> drawGlowLogo(GpuHarness& gpu, Rgba mask, float brokenlogo, float scenechange,
                               float time, float logoGlow, int w, int h) {
    GpuTexture glowMap = gpu.uniformTexture(mask);
    GpuTexture unused = gpu.uniformTexture({0.5f, 0.5f, 0.5f, 0.5f});
    ContextBlock ctx;
    ctx.setTime(time);
    ctx.set("LogoGlow", logoGlow);
    ctx.set("Brokenlogo", brokenlogo);
    ctx.set("scenechange", scenechange);
    GpuTexture target = gpu.renderTarget(w, h);
    gpu.draw(SHADER(vsFullscreenFlipY2), SHADER(psGlowLogo), {glowMap, unused}, ctx, target, 3);
    return gpu.read(target);
}

TEST_F(Composite, GlowLogoStarsMatchTheFormulaWhereTheMapIsWhite) {
    const int w = 64, h = 36;
    for (float scenechange : {0.0f, 1.0f}) {
        const ref::GlowLogoInputs in{1.75f, 0.6f, scenechange, {1600, 900}};
        std::vector<Rgba> px =
            drawGlowLogo(gpu, {1, 1, 1, 1}, 1.0f, scenechange, in.time, in.logoGlow, w, h);
        int compared = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // v grows upwards with this vertex program.
                const ref::Vec2 uv{pixelU(x, w), 1 - pixelV(y, h)};
                float margin = 0;
                const ref::Vec4 want = ref::starGlow(uv, in, &margin);
                if (margin < 1e-3f)
                    continue;
                ++compared;
                const Rgba& o = px[size_t(y) * w + x];
                auto tol = [](float v) { return 2e-3f * std::fabs(v) + 1e-5f; };
                EXPECT_NEAR(o.r, want.x, tol(want.x)) << x << "," << y;
                EXPECT_NEAR(o.g, want.y, tol(want.y)) << x << "," << y;
                EXPECT_NEAR(o.b, want.z, tol(want.z)) << x << "," << y;
                EXPECT_NEAR(o.a, want.w, tol(want.w)) << x << "," << y;
            }
        EXPECT_GT(compared, w * h * 3 / 4);
    }
}

TEST_F(Composite, GlowLogoIsOpaqueBlackUnlessBrokenAndPureWhite) {
    struct Case {
        Rgba mask;
        float brokenlogo;
    };
    for (const Case c : {Case{{1, 1, 1, 1}, 0.0f}, Case{{1, 1, 1, 1}, 0.5f},
                         Case{{0.99f, 1, 1, 1}, 1.0f}, Case{{0.5f, 0.5f, 0.5f, 1}, 1.0f}}) {
        std::vector<Rgba> px = drawGlowLogo(gpu, c.mask, c.brokenlogo, 0, 1.0f, 0.6f, 16, 9);
        for (const Rgba& o : px) {
            EXPECT_EQ(o.r, 0.0f);
            EXPECT_EQ(o.g, 0.0f);
            EXPECT_EQ(o.b, 0.0f);
            EXPECT_EQ(o.a, 1.0f);
        }
    }
}

} // namespace
