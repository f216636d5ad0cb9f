// The image-to-image programs: the two dithering post-processes and the particle glow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "shaders/gpu_harness.h"
#include "shaders/shader_blocks.h"
#include "shaders/shader_reference.h"

namespace ref = shader_reference;

namespace {

class PostProcess : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gpu.ready())
            GTEST_SKIP() << "no Direct3D device";
    }

    // Runs ps over input with a target of the input's size, so every pixel samples one texel.
    std::vector<Rgba> run(ShaderBlock ps, int w, int h, const std::vector<Rgba>& input,
                          const ContextBlock& ctx) {
        GpuTexture in = gpu.texture(w, h, input);
        GpuTexture target = gpu.renderTarget(w, h);
        gpu.draw(SHADER(vsFullscreen), ps, {in}, ctx, target, 3, 1, {9, 9, 9, 9});
        return gpu.read(target);
    }

    GpuHarness gpu;
};

// Test picture: a transparent stripe, a black stripe, a grey ramp across x and white.
std::vector<Rgba> testPicture(int w, int h) {
    std::vector<Rgba> p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float g = float(x) / (w - 1);
            if (x < 4)
                p.push_back({0.3f, 0.2f, 0.1f, 0.0f});
            else if (x < 8)
                p.push_back({0.0f, 0.0f, 0.0f, 0.7f});
            else if (x >= w - 4)
                p.push_back({1, 1, 1, 1});
            else
                p.push_back({g, 0.5f * g, 1 - g, 0.25f + 0.5f * g});
        }
    return p;
}

bool passesThrough(const Rgba& c) {
    return c.a == 0 || (c.r == 0 && c.g == 0 && c.b == 0);
}

void expectEqual(const Rgba& got, const Rgba& want, int x, int y) {
    EXPECT_EQ(got.r, want.r) << x << "," << y;
    EXPECT_EQ(got.g, want.g) << x << "," << y;
    EXPECT_EQ(got.b, want.b) << x << "," << y;
    EXPECT_EQ(got.a, want.a) << x << "," << y;
}

// Palette indices the quantiser may pick for luminance L (both neighbours, allowing for the
// GPU's rounding of L), clamped to the palette.
std::set<int> paletteChoices(float L) {
    std::set<int> out;
    for (float l : {L - 1e-5f, L, L + 1e-5f}) {
        const ref::QuantiseChoices q = ref::quantiseChoices(l, 1.0f / 7.0f);
        for (float v : {q.lo, q.hi})
            out.insert(std::clamp(int(std::floor(7 * v + 0.5f)), 0, 7));
    }
    return out;
}

TEST_F(PostProcess, PyramidPostKeepsEmptyPixelsAndDithersTheRestOntoThePalette) {
    const int w = 64, h = 64;
    std::vector<Rgba> input = testPicture(w, h);
    ContextBlock ctx;
    ctx.setTime(3.25f);
    std::vector<Rgba> out = run(SHADER(psPyramidPost), w, h, input, ctx);

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba& c = input[size_t(y) * w + x];
            const Rgba& o = out[size_t(y) * w + x];
            if (passesThrough(c)) {
                expectEqual(o, c, x, y);
                continue;
            }
            const float v = 1 - pixelV(y, h);
            const float gain = v < 0.35f ? 0 : (v > 0.8f ? 1.5f : (v - 0.35f) / 0.45f * 1.5f);
            const float L = ref::lum(ref::Vec3{c.r, c.g, c.b} * gain);
            bool matched = false;
            for (int index : paletteChoices(L)) {
                const ref::Vec3 p = ref::ditherPalette()[index];
                matched = matched || (std::fabs(o.r - p.x) < 1e-6f &&
                                      std::fabs(o.g - p.y) < 1e-6f && std::fabs(o.b - p.z) < 1e-6f);
            }
            EXPECT_TRUE(matched) << x << "," << y << " L " << L;
            EXPECT_EQ(o.a, c.a) << x << "," << y;
        }
    // No gain in the lower third: palette entry 0. Top rows with white input: L = 1.5, far past
    // the last entry, which is where the index stops.
    const ref::Vec3 first = ref::ditherPalette()[0], last = ref::ditherPalette()[7];
    EXPECT_NEAR(out[size_t(h - 1) * w + 20].r, first.x, 1e-6f);
    EXPECT_NEAR(out[size_t(0) * w + (w - 1)].r, last.x, 1e-6f);
    EXPECT_NEAR(out[size_t(0) * w + (w - 1)].g, last.y, 1e-6f);
}

TEST_F(PostProcess, PyramidPostDithersBetweenNeighbouringEntries) {
    // At full gain (the top fifth) a grey of L = 3.8 / 7 lies between entries 3 and 4; the
    // noise picks both.
    const int w = 64, h = 64;
    const float grey = 3.8f / 7 / 1.5f;
    std::vector<Rgba> input(size_t(w) * h, Rgba{grey, grey, grey, 1});
    ContextBlock ctx;
    ctx.setTime(1.5f);
    std::vector<Rgba> out = run(SHADER(psPyramidPost), w, h, input, ctx);
    int lower = 0, upper = 0;
    const int rows = 12; // v > 0.8
    for (size_t i = 0; i < size_t(w) * rows; ++i) {
        const Rgba& o = out[i];
        lower += o.r == ref::ditherPalette()[3].x && o.g == ref::ditherPalette()[3].y;
        upper += o.r == ref::ditherPalette()[4].x && o.g == ref::ditherPalette()[4].y;
    }
    EXPECT_EQ(lower + upper, w * rows);
    EXPECT_GT(lower, 0);
    EXPECT_GT(upper, 0);
}

TEST_F(PostProcess, ScrollerPostAddsADitheredLuminanceStep) {
    const int w = 64, h = 64;
    std::vector<Rgba> input = testPicture(w, h);
    ContextBlock ctx;
    ctx.setTime(7.75f);
    std::vector<Rgba> out = run(SHADER(psScrollerPost), w, h, input, ctx);

    int lo = 0, hi = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba& c = input[size_t(y) * w + x];
            const Rgba& o = out[size_t(y) * w + x];
            if (passesThrough(c)) {
                expectEqual(o, c, x, y);
                continue;
            }
            const float v = pixelV(y, h);
            const float g = v < 0.1f ? 0 : (v > 0.9f ? 0.5f : (v - 0.1f) / 0.8f * 0.5f);
            const float L = ref::clamp01(c.r * 0.358f + c.g * 0.704f + c.b * 0.136f + 0.25f * g);
            const ref::QuantiseChoices q = ref::quantiseChoices(L, 1.0f / 15.0f);
            auto near = [&](float step) {
                return std::fabs(o.r - ref::clamp01(c.r + 0.5f * step)) < 1e-5f &&
                       std::fabs(o.g - ref::clamp01(c.g + 0.5f * step)) < 1e-5f &&
                       std::fabs(o.b - ref::clamp01(c.b + 0.5f * step)) < 1e-5f;
            };
            const bool isLo = near(q.lo), isHi = near(q.hi);
            EXPECT_TRUE(isLo || isHi) << x << "," << y << " L " << L;
            lo += isLo && !isHi;
            hi += isHi && !isLo;
            EXPECT_EQ(o.a, c.a) << x << "," << y;
        }
    EXPECT_GT(lo, 0);
    EXPECT_GT(hi, 0);
}

// ---- glow blur -------------------------------------------------------------------------------

ref::Vec3 glowOf(ref::Vec3 c, ref::Vec3 glow, float intensity) {
    const float y = ref::lum(c);
    const ref::Vec3 s = (c - y) * 1.25f + y;
    return {ref::clamp01(s.x + 0.35f * intensity * glow.x),
            ref::clamp01(s.y + 0.35f * intensity * glow.y),
            ref::clamp01(s.z + 0.35f * intensity * glow.z)};
}

TEST_F(PostProcess, GlowBlurOfAFlatPictureAddsItsOwnColour) {
    const ref::Vec3 c{0.2f, 0.1f, 0.05f};
    ContextBlock ctx;
    ctx.set("glowintens", 2.5f);
    ctx.set("glowrad", 12.5f);
    std::vector<Rgba> out =
        run(SHADER(psGlowBlur), 16, 16, std::vector<Rgba>(256, Rgba{c.x, c.y, c.z, 0.3f}), ctx);
    const ref::Vec3 want = glowOf(c, c, 2.5f);
    for (const Rgba& o : out) {
        EXPECT_NEAR(o.r, want.x, 1e-5f);
        EXPECT_NEAR(o.g, want.y, 1e-5f);
        EXPECT_NEAR(o.b, want.z, 1e-5f);
        EXPECT_EQ(o.a, 1.0f);
    }
}

TEST_F(PostProcess, GlowBlurWithZeroRadiusWorksPixelByPixel) {
    const int w = 32, h = 16;
    std::vector<Rgba> input;
    for (int i = 0; i < w * h; ++i)
        input.push_back({float(i % 7) / 7, float(i % 5) / 5, float(i % 3) / 3, 1});
    ContextBlock ctx;
    ctx.set("glowintens", 1.0f);
    ctx.set("glowrad", 0.0f);
    std::vector<Rgba> out = run(SHADER(psGlowBlur), w, h, input, ctx);
    for (size_t i = 0; i < out.size(); ++i) {
        const ref::Vec3 c{input[i].r, input[i].g, input[i].b};
        const ref::Vec3 want = glowOf(c, c, 1.0f);
        EXPECT_NEAR(out[i].r, want.x, 1e-5f) << i;
        EXPECT_NEAR(out[i].g, want.y, 1e-5f) << i;
        EXPECT_NEAR(out[i].b, want.z, 1e-5f) << i;
    }
}

TEST_F(PostProcess, GlowBlurSpreadsOnlyAsFarAsTheRadius) {
    // One bright texel in a 64 x 64 black picture; a radius of 40 reaches 40 / 1000 of the
    // picture, about 2.6 texels.
    const int w = 64;
    std::vector<Rgba> input(size_t(w) * w, Rgba{0, 0, 0, 1});
    input[size_t(32) * w + 32] = {1, 1, 1, 1};
    ContextBlock ctx;
    ctx.set("glowintens", 2.0f);
    ctx.set("glowrad", 40.0f);
    std::vector<Rgba> out = run(SHADER(psGlowBlur), w, w, input, ctx);
    EXPECT_GT(out[size_t(32) * w + 34].r, 0.0f);
    EXPECT_GT(out[size_t(30) * w + 32].r, 0.0f);
    EXPECT_EQ(out[size_t(32) * w + 40].r, 0.0f);
    EXPECT_EQ(out[size_t(20) * w + 32].r, 0.0f);
}

} // namespace
