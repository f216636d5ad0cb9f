// The final composite and the glow logo at every pixel of small targets, against the formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "demo/shaders/gpu_harness.h"
#include "demo/shaders/shader_blocks.h"
#include "demo/shaders/shader_reference.h"

namespace ref = shader_reference;

namespace {

using Composite = ShaderTest;

// A random picture of its own size for each input, so that every slot, its sampler and its
// coordinates show in the result.
ref::Image randomImage(std::mt19937& rng, int w, int h, float scale = 1) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    ref::Image im{w, h, {}};
    for (int i = 0; i < w * h; ++i)
        im.texels.push_back({unit(rng) * scale, unit(rng) * scale, unit(rng) * scale, unit(rng)});
    return im;
}

GpuTexture imageTexture(GpuHarness& gpu, const ref::Image& im) {
    std::vector<Rgba> texels;
    for (const ref::Vec4& c : im.texels)
        texels.push_back({c.x, c.y, c.z, c.w});
    return gpu.texture(im.w, im.h, texels);
}

std::vector<Rgba> drawComposite(GpuHarness& gpu, const ref::CompositeInputs& in, int w, int h) {
    const ref::Image unused{1, 1, {{50, 50, 50, 50}}};
    const ref::Image* slots[13] = {
        &in.pyramid,   &in.particle, &in.logo,    &in.logo2,     &in.scroller, &in.logo3, &in.logo4,
        &in.glowstuff, &unused,      &in.rasters, &in.explosion, &in.heart,    &in.creds};
    std::vector<GpuTexture> textures;
    std::vector<Input> views;
    for (const ref::Image* im : slots) {
        textures.push_back(imageTexture(gpu, *im));
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

TEST_F(Composite, EveryLayerIsSampledAndCombinedAsTheFormulaSays) {
    // 96 x 54 pixels with the show's resolution in ContextBuffer: the logo images cover the
    // middle half of the width, the credits strip a fifth of it, each with its own sampler.
    const int w = 96, h = 54;
    std::mt19937 rng(2024);
    for (float brokenlogo : {0.0f, 1.0f}) {
        ref::CompositeInputs in{};
        in.pyramid = randomImage(rng, 37, 23);
        in.particle = randomImage(rng, 41, 19);
        in.logo = randomImage(rng, 29, 13);
        in.logo2 = randomImage(rng, 23, 11);
        in.scroller = randomImage(rng, 31, 17, 0.5f);
        in.logo3 = randomImage(rng, 19, 9);
        in.logo4 = randomImage(rng, 17, 7);
        in.glowstuff = randomImage(rng, 13, 11);
        in.rasters = randomImage(rng, 11, 29);
        in.explosion = randomImage(rng, 27, 15, 0.3f);
        in.heart = randomImage(rng, 15, 9);
        in.creds = randomImage(rng, 23, 7);
        in.time = 1.3f;
        in.fadeIn = 0.85f;
        in.logoGlow = 2.5f;
        in.glass1 = 0.75f;
        in.lightSaturation = 1.3f;
        in.logoOpacity = 0.9f;
        in.brokenlogo = brokenlogo;
        in.heartOpacity = 0.6f;
        in.credsvisibility = 0.7f;
        const std::vector<Rgba> px = drawComposite(gpu, in, w, h);
        int compared = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float margin = 1;
                const ref::Vec3 want =
                    ref::compositePixel({pixelU(x, w), pixelV(y, h)}, in, &margin);
                if (margin < 1e-3f)
                    continue;
                ++compared;
                const Rgba& o = px[size_t(y) * w + x];
                ASSERT_TRUE(sameRgba(o, {want.x, want.y, want.z, o.a}, 2e-4f))
                    << x << "," << y << " broken " << brokenlogo;
                ASSERT_EQ(o.a, 1.0f);
            }
        EXPECT_GT(compared, w * h * 9 / 10);
    }
}

// ---- glow logo -------------------------------------------------------------------------------

std::vector<Rgba> drawGlowLogo(GpuHarness& gpu, const ref::Image& mask, float brokenlogo,
                               float scenechange, float time, float logoGlow, int w, int h) {
    GpuTexture glowMap = imageTexture(gpu, mask);
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
    // A 6 x 3 map, white but for three black texels (row 0 on top of the logo image); the
    // stars show only where every texel the linear sample reaches is white.
    ref::Image map{6, 3, std::vector<ref::Vec4>(18, {1, 1, 1, 1})};
    for (int i : {1, 9, 16})
        map.texels[size_t(i)] = {0, 0, 0, 1};
    const int w = 64, h = 36;
    for (float scenechange : {0.0f, 1.0f}) {
        const ref::GlowLogoInputs in{1.75f, 0.6f, scenechange, {1600, 900}};
        std::vector<Rgba> px =
            drawGlowLogo(gpu, map, 1.0f, scenechange, in.time, in.logoGlow, w, h);
        int compared = 0, masked = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // v grows upwards with this vertex program; the map is read at (lu.x, 1 - lu.y).
                const ref::Vec2 uv{pixelU(x, w), 1 - pixelV(y, h)};
                const ref::Vec2 lu{0.5f + 1600.0f / 764 * (uv.x - 0.5f),
                                   0.86f + 900.0f / 348 * (uv.y - 0.86f)};
                const ref::Vec3 m3 = ref::rgb(ref::sampleLinear(map, {lu.x, 1 - lu.y}));
                const float m = (m3.x + m3.y + m3.z) / 3;
                float margin = 1 - m > 0 && 1 - m < 1e-3f ? 0.0f : 1.0f;
                ref::Vec4 want{0, 0, 0, 1};
                if (m >= 1)
                    want = ref::starGlow(uv, in, &margin);
                if (margin < 1e-3f)
                    continue;
                ++compared;
                masked += m < 1;
                const Rgba& o = px[size_t(y) * w + x];
                const float got[4] = {o.r, o.g, o.b, o.a},
                            wanted[4] = {want.x, want.y, want.z, want.w};
                for (int k = 0; k < 4; ++k)
                    EXPECT_NEAR(got[k], wanted[k], 2e-3f * std::fabs(wanted[k]) + 1e-5f)
                        << x << "," << y << " channel " << k;
            }
        EXPECT_GT(compared, w * h * 3 / 4);
        EXPECT_GT(masked, 0);
        EXPECT_GT(compared - masked, w * h / 2);
    }
}

TEST_F(Composite, GlowLogoIsOpaqueBlackUnlessBrokenAndPureWhite) {
    struct Case {
        ref::Vec4 mask;
        float brokenlogo;
    };
    for (const Case c : {Case{{1, 1, 1, 1}, 0.0f}, Case{{1, 1, 1, 1}, 0.5f},
                         Case{{0.99f, 1, 1, 1}, 1.0f}, Case{{0.5f, 0.5f, 0.5f, 1}, 1.0f}}) {
        const ref::Image map{1, 1, {c.mask}};
        std::vector<Rgba> px = drawGlowLogo(gpu, map, c.brokenlogo, 0, 1.0f, 0.6f, 16, 9);
        for (const Rgba& o : px)
            EXPECT_TRUE(sameRgba(o, {0, 0, 0, 1})) << "broken " << c.brokenlogo;
    }
}

} // namespace
