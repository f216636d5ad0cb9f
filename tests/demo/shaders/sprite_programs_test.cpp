// Programs that build their geometry from structured buffers: particle sprites with their
// collision flashes, and the scroller's glyph quads.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "demo/shaders/gpu_harness.h"
#include "demo/shaders/shader_blocks.h"
#include "demo/shaders/shader_reference.h"

namespace ref = shader_reference;

namespace {

using SpritePrograms = ShaderTest;

// ---- particles -------------------------------------------------------------------------------

TEST_F(SpritePrograms, ActiveParticlesAndFreshCollisionsOnlyReachTheScreen) {
    // 64 x 64 pixels: a sprite (0.003 clip units) or flash (0.005) centred on a pixel centre
    // covers exactly that pixel.
    const int n = 64;
    auto clipOf = [&](int x, int y) {
        return ref::Vec2{2 * pixelU(x, n) - 1, 1 - 2 * pixelV(y, n)};
    };
    std::vector<ref::Particle> ps(1000);
    auto place = [&](uint32_t i, int x, int y, bool active, uint32_t status, Rgba colour) {
        const ref::Vec2 c = clipOf(x, y);
        const float position[4] = {c.x, c.y, 0.5f, 1},
                    rgba[4] = {colour.r, colour.g, colour.b, colour.a};
        std::copy(position, position + 4, ps[i].position);
        std::copy(rgba, rgba + 4, ps[i].color);
        ps[i].isActive = active;
        ps[i].collisionStatus = status;
    };
    const Rgba colour{0.2f, 0.4f, 0.6f, 0.8f}, flash{1, 0.75f, 0.5f, 0.25f};
    place(3, 10, 20, true, 0, colour);    // drawn
    place(4, 30, 30, false, 0, colour);   // inactive: off screen
    place(5, 40, 10, false, 1, colour);   // inactive but just hit: flash only
    place(6, 20, 40, true, 1, colour);    // sprite, with the flash drawn over it
    place(7, 50, 20, true, 2, colour);    // left the pyramid: no flash
    place(432, 5, 5, false, 1, colour);   // last particle with flash vertices
    place(500, 50, 50, false, 1, colour); // beyond the flash vertices
    place(999, 60, 60, true, 0, colour);  // last sprite

    GpuBuffer buffer = gpu.structuredBuffer(ps.data(), 80, ps.size());
    ContextBlock ctx;
    ctx.setResolution(float(n), float(n));
    ctx.setFrame(7);
    GpuTexture target = gpu.renderTarget(n, n);
    gpu.draw(SHADER(vsParticles), SHADER(psParticle), {buffer}, ctx, target, 8600);
    std::vector<Rgba> px = gpu.read(target);

    const std::map<std::pair<int, int>, Rgba> expected = {{{10, 20}, colour}, {{40, 10}, flash},
                                                          {{20, 40}, flash},  {{50, 20}, colour},
                                                          {{5, 5}, flash},    {{60, 60}, colour}};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            auto it = expected.find({x, y});
            const Rgba want = it == expected.end() ? Rgba{0, 0, 0, 0} : it->second;
            EXPECT_TRUE(sameRgba(px[size_t(y) * n + x], want)) << "pixel " << x << "," << y;
        }
}

TEST_F(SpritePrograms, FlashesCarryTheFramePhaseAndTheirFlagAndSpritesKeepTheirAspect) {
    // A 16 x 1000 target: a sprite is 3 pixels across in both directions (0.003 x R.y / R.x
    // clip units wide), a flash 5.
    const int w = 16, h = 1000, row = 500;
    std::vector<ref::Particle> ps(1000);
    // Particle 1 active and just hit (sprite, then flash), particle 2 active only.
    for (uint32_t i : {1u, 2u}) {
        ps[i].isActive = 1;
        ps[i].position[0] = 2 * pixelU(int(8 * i - 4), w) - 1;
        ps[i].position[1] = 1 - 2 * pixelV(row, h);
        ps[i].position[3] = 1;
        ps[i].color[3] = 0.5f;
    }
    ps[1].collisionStatus = 1;
    GpuBuffer buffer = gpu.structuredBuffer(ps.data(), 80, ps.size());
    for (uint32_t frame : {7u, 9u}) {
        ContextBlock ctx;
        ctx.setResolution(float(w), float(h));
        ctx.setFrame(frame);
        GpuTexture target = gpu.renderTarget(w, h);
        gpu.draw(SHADER(vsParticles), SHADER(psParticleProbe), {buffer}, ctx, target, 8600);
        std::vector<Rgba> px = gpu.read(target);
        for (int x = 2; x <= 6; ++x) {
            const Rgba& flash = px[size_t(row + x - 4) * w + x];
            EXPECT_TRUE(sameRgba(flash, {float(frame % 3), 1, 0.25f, 1})) << frame << " " << x;
        }
        EXPECT_EQ(px[size_t(row) * w + 7].b, 0.0f);
        for (int x = 11; x <= 13; ++x) {
            const Rgba& sprite = px[size_t(row + x - 12) * w + x];
            EXPECT_TRUE(sameRgba(sprite, {0, 0, 0.5f, 1})) << frame << " " << x;
        }
        EXPECT_EQ(px[size_t(row) * w + 14].b, 0.0f);
        EXPECT_EQ(px[size_t(row + 2) * w + 12].b, 0.0f);
    }
}

// ---- glyphs ----------------------------------------------------------------------------------

TEST_F(SpritePrograms, GlyphQuadsSampleTheirAtlasAndTakeTheLetterColour) {
    const int w = 64, h = 32;
    // Scroll position chosen so the line's shift Scroll1pos - 4.39 + h / 100 is zero.
    const float scroll = 4.39f - h / 100.0f;
    const float letterColour = 8.0f;
    std::vector<ref::CharData> quads = {
        {{0.25f, 1, -0.5f, 0}, {180, 1106, 0, 0}, 1},  // clip x -0.75 .. -0.25
        {{0.125f, 1, 0.5f, 0}, {90, 1106, 900, 0}, 2}, // clip x 0.375 .. 0.625
    };
    GpuBuffer buffer = gpu.structuredBuffer(quads.data(), 36, quads.size());
    GpuTexture atlas1 = gpu.uniformTexture({0.9f, 0.6f, 0.3f, 1});
    GpuTexture atlas2 = gpu.uniformTexture({0.3f, 0.3f, 0.3f, 0});
    ContextBlock ctx;
    ctx.setResolution(float(w), float(h));
    ctx.set("Scroll1pos", scroll);
    ctx.set("lettercolorglobal", letterColour);
    GpuTexture target = gpu.renderTarget(w, h);
    gpu.draw(SHADER(vsGlyphs), SHADER(psGlyphs), {atlas1, buffer, atlas2}, ctx, target, 6,
             unsigned(quads.size()));
    std::vector<Rgba> px = gpu.read(target);

    auto tinted = [&](float coverage) {
        return Rgba{coverage * 20 / 255 * letterColour, coverage * 2 / 255 * letterColour,
                    coverage * 20 / 255 * letterColour, coverage};
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float cx = 2 * pixelU(x, w) - 1;
            Rgba want{0, 0, 0, 0};
            if (cx > -0.75f && cx < -0.25f)
                want = tinted(0.6f);
            else if (cx > 0.375f && cx < 0.625f)
                want = tinted(0.3f);
            EXPECT_TRUE(sameRgba(px[size_t(y) * w + x], want, 1e-5f)) << x << "," << y;
        }
}

TEST_F(SpritePrograms, GlyphAtlasRowsCountFromTheTop) {
    // A 1 x 6 atlas whose six texel rows stand for six bands of the 3318-pixel atlas height,
    // stored bottom row first as the engine uploads images; atlas row r of the glyph (1106
    // pixels) covers bands 2r and 2r + 1 from the top.
    std::vector<Rgba> texels;
    for (int row = 0; row < 6; ++row) {
        const float band = float(5 - row); // texel row 0 holds the lowest band
        texels.push_back({band / 10, 0, 0, 1});
    }
    GpuTexture atlas = gpu.texture(1, 6, texels);
    GpuTexture other = gpu.uniformTexture({0, 0, 0, 0});
    const int w = 6, h = 64;
    std::vector<ref::CharData> quads = {{{1, 1, 0, 0}, {4096, 1106, 0, 1106 * 2}, 1}};
    GpuBuffer buffer = gpu.structuredBuffer(quads.data(), 36, 1);
    ContextBlock ctx;
    ctx.setResolution(float(w), float(h));
    ctx.set("Scroll1pos", 4.39f - h / 100.0f);
    ctx.set("lettercolorglobal", 1.0f);
    GpuTexture target = gpu.renderTarget(w, h);
    gpu.draw(SHADER(vsGlyphs), SHADER(psGlyphs), {atlas, buffer, other}, ctx, target, 6);
    std::vector<Rgba> px = gpu.read(target);
    // q runs 0 .. 1 from the target's bottom row to its top, so the atlas row's top (band 4)
    // lands near the bottom and its bottom (band 5) near the top; coverage is red / 3. Rows 47
    // and 16 sample almost exactly at those bands' texel centres.
    EXPECT_NEAR(px[size_t(47) * w].a * 3, 0.4f, 0.005f);
    EXPECT_NEAR(px[size_t(16) * w].a * 3, 0.5f, 0.005f);
}

} // namespace
