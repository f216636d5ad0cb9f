// glowstuffmap against the glow shader's lookup: the star-burst glow shows only where the mask
// is pure white, so the white must sit where the stars are and nowhere far from them.

#include "decoded_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float screenW = 1600, screenH = 900, aspect = screenW / screenH;
constexpr int maskW = 764, maskH = 348;

struct Star {
    float x, y; // psGlowLogo texture coordinates (v grows upwards, i.e. down the screen)
};
constexpr Star stars[] = {{0.27f, 0.253f}, {0.423f, 0.18f}, {0.549f, 0.181f},
                          {0.31f, 0.2f},   {0.39f, 0.33f},  {0.52f, 0.245f}};

// The shader's mask value at its texture coordinate uv: lu around (0.5, 0.86), sampled at
// (lu.x, 1 - lu.y) with linear filtering and clamping, after the loader's row flip.
float maskAt(const DecodedImage& mask, float u, float v) {
    float lux = 0.5f + screenW / maskW * (u - 0.5f);
    float luy = 0.86f + screenH / maskH * (v - 0.86f);
    float tv = 1.0f - luy;
    // Texture row r of the uploaded picture is picture row h - 1 - r.
    float fx = lux * maskW - 0.5f, fy = (1.0f - tv) * maskH - 0.5f;
    auto texel = [&](int x, int y) {
        return mask.mean(std::clamp(x, 0, maskW - 1), std::clamp(y, 0, maskH - 1));
    };
    int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    float tx = fx - x0, ty = fy - y0;
    float top = texel(x0, y0) * (1 - tx) + texel(x0 + 1, y0) * tx;
    float bottom = texel(x0, y0 + 1) * (1 - tx) + texel(x0 + 1, y0 + 1) * tx;
    return top * (1 - ty) + bottom * ty;
}

TEST(GlowMask, OpensAroundEveryStar) {
    DecodedImage mask = decodePng(assetPath("glowstuffmap.png"));
    for (const Star& s : stars) {
        // The star's centre and a ring a little way out all pass the m >= 1 test.
        for (float a = 0; a < 6.28f; a += 0.5f) {
            float u = s.x + 0.02f * std::cos(a) / aspect, v = s.y + 0.02f * std::sin(a);
            EXPECT_GE(maskAt(mask, u, v), 1.0f) << "star " << s.x << ", " << s.y;
        }
        EXPECT_GE(maskAt(mask, s.x, s.y), 1.0f);
    }
}

// Every pure-white pixel is read by some screen point within 0.2 screen heights of a star;
// further out the glow has faded long before, so white there would be meaningless.
TEST(GlowMask, WhiteStaysNearTheStars) {
    DecodedImage mask = decodePng(assetPath("glowstuffmap.png"));
    for (int y = 0; y < maskH; ++y) {
        for (int x = 0; x < maskW; ++x) {
            if (mask.mean(x, y) < 1.0f) {
                continue;
            }
            // Screen rectangle (shader uv) whose lookups land on this pixel; border pixels
            // reach out to the screen edge through the clamp.
            auto toU = [](float px) { return 0.5f + (px / maskW - 0.5f) * maskW / screenW; };
            auto toV = [](float py) { return 0.86f + (py / maskH - 0.86f) * maskH / screenH; };
            float u0 = x == 0 ? 0.0f : toU(static_cast<float>(x));
            float u1 = x == maskW - 1 ? 1.0f : toU(static_cast<float>(x + 1));
            float v0 = y == 0 ? 0.0f : toV(static_cast<float>(y));
            float v1 = y == maskH - 1 ? 1.0f : toV(static_cast<float>(y + 1));
            float nearest = 1e9f;
            for (const Star& s : stars) {
                float du = (std::clamp(s.x, u0, u1) - s.x) * aspect;
                float dv = std::clamp(s.y, v0, v1) - s.y;
                nearest = std::min(nearest, std::sqrt(du * du + dv * dv));
            }
            ASSERT_LT(nearest, 0.2f) << "white pixel " << x << ", " << y;
        }
    }
}

} // namespace
