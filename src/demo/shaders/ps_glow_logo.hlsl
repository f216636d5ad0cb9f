// Star-burst glow: six stars with rotating rays and a drifting palette tint, shown only where
// the glow map is pure white.
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "logo_placement.hlsli"
#include "particle_palette.hlsli"

Texture2D glowstuffmap : register(t0);
SamplerState glowmapsmpClamp : register(s0);

static const int STARS = 6;
static const int RAYS = 29;
// Centre (x before the aspect factor, y) and intensity of each star.
static const float3 stars[STARS] = {
    float3(0.27, 0.253, 0.15),  float3(0.423, 0.18, 0.025), float3(0.549, 0.181, 0.025),
    float3(0.31, 0.2, 0.02),    float3(0.39, 0.33, 0.015),  float3(0.52, 0.245, 0.025)
};
static const float3 CORE_COLOUR = float3(0.9, 0.6, 0.3);
static const float4 BLACK = float4(0.0, 0.0, 0.0, 1.0);
// Keeps the ray direction and the 1 / d^2 falloff finite at a star's exact centre.
static const float MIN_DISTANCE = 1.0e-4;

// Sum of the rays of one star as seen from offset v.
float raySum(float2 v, float d)
{
    float2 e = v / d;
    float th = 1.145 - clamp(LogoGlow, 0.149, 2.9);
    float sum = 0.0;
    for (int n = 1; n <= RAYS; ++n) {
        float fn = float(n);
        float b = 0.25 * (-0.25 * time - 2.0 * fn);
        float s = pow(abs(dot(e, float2(cos(b), sin(b)))), 2.05);
        if (s > th)
            sum += 1.85 * (0.5 + 0.5 * sin(0.3 * fn * time)) * (0.5 / (d * d)) * 0.5 * s / fn;
    }
    return sum;
}

// A palette colour picked by a few rounds of domain warping of the screen position.
float3 warpedPaletteColour(float2 uv)
{
    float2 P = (uv - 0.5) * 8.0;
    float f = 1.0;
    float g = 1.0;
    float amp = 1.0;
    float ph = 0.0;
    for (int r = 0; r < 7; ++r) {
        float c = cos(f * P.y - ph + time / g) / amp;
        float s = sin(f * P.x - ph + time / g) / amp;
        P += float2(c - 0.3 * s, s + 0.3 * c);
        f *= 1.93;
        g *= 1.15;
        amp *= 1.7;
        ph += 0.05 + 0.1 * time * g;
    }
    return particlePalette[int(14.0 * abs(sin(P.x + P.y + time)))];
}

float4 starGlow(float2 uv)
{
    float aspect = resolution.x / resolution.y;
    float2 position = float2(uv.x * aspect, uv.y);
    float3 palette = warpedPaletteColour(uv);

    float4 total = float4(0.0, 0.0, 0.0, 0.0);
    for (int k = 0; k < STARS; ++k) {
        float2 v = position - float2(stars[k].x * aspect, stars[k].y);
        float d = max(length(v), MIN_DISTANCE);
        float intensity = stars[k].z;
        float S = raySum(v, d);
        float3 core = CORE_COLOUR * S * intensity * exp(-60.0 * d);
        float w = 0.5 * palette.r + S * 0.25 * intensity * exp(-20.0 * d);
        float3 colour = scenechange == 0.0 ? core + core * palette * 0.5 * w
                                           : core + palette * 0.05 * w;
        total += float4(colour, w);
    }
    return total;
}

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    float2 lu = logoCoordinate(i.uv, resolution);
    float3 mask = glowstuffmap.SampleLevel(glowmapsmpClamp, float2(lu.x, 1.0 - lu.y), 0).rgb;
    float m = (mask.r + mask.g + mask.b) / 3.0;
    if (Brokenlogo != 1.0 || m < 1.0)
        return BLACK;
    return starGlow(i.uv);
}
