// The image-to-image programs: the two dithering post-processes and the particle glow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <set>

#include "demo/shaders/gpu_harness.h"
#include "demo/shaders/shader_blocks.h"
#include "demo/shaders/shader_reference.h"

namespace ref = shader_reference;

namespace {

class PostProcess : public ShaderTest {
protected:
    // Runs ps over input with a target of the input's size, so every pixel samples one texel.
    std::vector<Rgba> run(ShaderBlock ps, int w, int h, const std::vector<Rgba>& input,
                          const ContextBlock& ctx) {
        GpuTexture in = gpu.texture(w, h, input);
        GpuTexture target = gpu.renderTarget(w, h);
        gpu.draw(SHADER(vsFullscreen), ps, {in}, ctx, target, 3, 1, {9, 9, 9, 9});
        return gpu.read(target);
    }
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

// Palette indices the quantiser may pick for luminance L (allowing for the GPU's rounding of
// L), clamped to the palette: the lower neighbour, and the upper one from 0.4 of a step on,
// since the noise lies in [0, 1.1].
std::set<int> paletteChoices(float L) {
    std::set<int> out;
    for (float l : {L - 1e-5f, L, L + 1e-5f}) {
        const ref::QuantiseChoices q = ref::quantiseChoices(l, 1.0f / 7.0f);
        for (float v : {q.lo, (l - q.lo) * 7 < 0.4f - 1e-3f ? q.lo : q.hi})
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
                EXPECT_TRUE(sameRgba(o, c)) << x << "," << y;
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
                EXPECT_TRUE(sameRgba(o, c)) << x << "," << y;
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
            // The noise lies in [0, 1.1], so below 0.4 of a step the lower level is certain.
            const bool certain = (L - q.lo) * 15 < 0.4f - 1e-3f;
            EXPECT_TRUE(certain ? isLo : isLo || isHi) << x << "," << y << " L " << L;
            lo += isLo && !isHi;
            hi += isHi && !isLo;
            EXPECT_EQ(o.a, c.a) << x << "," << y;
        }
    EXPECT_GT(lo, 0);
    EXPECT_GT(hi, 0);
}

// ---- glow blur -------------------------------------------------------------------------------

TEST_F(PostProcess, GlowBlurAddsTheRingWeightedMeanOverAStructuredPicture) {
    // A dark noisy picture with a few bright spots: near a spot the rings see very different
    // values, so their weights, count and radii all show. The rings reach 0.43 to 4.3 texels
    // across at glowrad 90, 0.1 to 1.1 at glowrad 23.
    const int w = 48, h = 32;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dark(0.0f, 0.15f);
    ref::Image picture{w, h, {}};
    for (int i = 0; i < w * h; ++i)
        picture.texels.push_back({dark(rng), dark(rng), dark(rng), 1});
    for (const auto& [x, y] : {std::pair{10, 8}, {30, 20}, {40, 6}, {20, 26}})
        picture.texels[size_t(y) * w + x] = {0.9f, 0.6f, 0.3f, 1};
    std::vector<Rgba> input;
    for (const ref::Vec4& c : picture.texels)
        input.push_back({c.x, c.y, c.z, 0.3f});
    for (const auto& [radius, intensity] : {std::pair{90.0f, 1.7f}, {23.0f, 0.6f}}) {
        ContextBlock ctx;
        ctx.set("glowrad", radius);
        ctx.set("glowintens", intensity);
        const std::vector<Rgba> out = run(SHADER(psGlowBlur), w, h, input, ctx);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const ref::Vec3 want =
                    ref::glowBlurPixel(picture, {pixelU(x, w), pixelV(y, h)}, radius, intensity);
                const Rgba& o = out[size_t(y) * w + x];
                ASSERT_TRUE(sameRgba(o, {want.x, want.y, want.z, o.a}, 1e-4f))
                    << x << "," << y << " radius " << radius;
                ASSERT_EQ(o.a, 0.0f); // the pass clears alpha to 2
            }
    }
}

TEST_F(PostProcess, GlowBlurSkipsOnlyPixelsThatOnlyBlackReaches) {
    // Black sprites with a few coloured texels near cell borders and the edges, at a size that
    // is no multiple of the 8-texel cell. The cell passes mark the quiet cells; the blur over
    // them must equal, to the bit, the blur with no cell marked (a zero cell texture), and
    // leave some cells unblurred and some blurred, or the comparison proves nothing.
    const int w = 83, h = 45, cw = (w + 7) / 8, ch = (h + 7) / 8;
    std::vector<Rgba> sprites(size_t(w) * h, Rgba{0, 0, 0, 1});
    for (const auto& [x, y] : {std::pair{15, 16}, {40, 7}, {0, 44}, {82, 23}})
        sprites[size_t(y) * w + x] = {0.9f, 0.6f, 0.3f, 1};
    GpuTexture in = gpu.texture(w, h, sprites);
    GpuTexture noneQuiet = gpu.texture(cw, ch, std::vector<Rgba>(size_t(cw) * ch));
    for (const float radius : {20.0f, 90.0f, 250.0f, -40.0f}) {
        ContextBlock ctx;
        ctx.set("glowrad", radius);
        ctx.set("glowintens", 1.3f);
        GpuTexture covered = gpu.renderTarget(cw, ch), quiet = gpu.renderTarget(cw, ch);
        gpu.draw(SHADER(vsFullscreen), SHADER(psSpriteCoverage), {in}, ctx, covered, 3);
        gpu.draw(SHADER(vsFullscreen), SHADER(psGlowQuiet), {covered, in}, ctx, quiet, 3);
        GpuTexture skipped = gpu.renderTarget(w, h), full = gpu.renderTarget(w, h);
        gpu.draw(SHADER(vsFullscreen), SHADER(psGlowBlur), {in, quiet}, ctx, skipped, 3);
        gpu.draw(SHADER(vsFullscreen), SHADER(psGlowBlur), {in, noneQuiet}, ctx, full, 3);
        const std::vector<Rgba> a = gpu.read(skipped), b = gpu.read(full);
        ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(Rgba)), 0) << radius;
        const std::vector<Rgba> cells = gpu.read(quiet);
        const auto quietCells =
            std::count_if(cells.begin(), cells.end(), [](const Rgba& c) { return c.r == 1.0f; });
        if (radius == 20.0f || radius == 90.0f) {
            EXPECT_GT(quietCells, 0) << radius;
            EXPECT_LT(quietCells, cw * ch - 4) << radius;
        } else if (radius < 0)
            EXPECT_EQ(quietCells, 0); // a negative radius gives weights outside (0, 1]
    }
}

} // namespace
