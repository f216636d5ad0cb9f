// Glow around the particle sprites: a slightly saturated copy plus a ring blur whose radius
// follows glowrad.
//
// Most of the sprite picture is black, and where every sample of a pixel is black the result
// is black to the bit: each sample adds an exact zero to the sum, the weight sum does not
// depend on the samples, and the blend adds +0 to the cleared +0. Such pixels (the quiet cells,
// glow_cells.hlsli) are discarded and keep the clear colour. So that a kept pixel and a
// discarded one end with the same alpha, the pass clears alpha to 2 and this program adds 0
// (before: cleared to 1, and 1 added).
#include "color.hlsli"
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "glow_cells.hlsli"

Texture2D inputTex : register(t0);
Texture2D quietTex : register(t1); // 1 per quiet cell; unbound (0) blurs every pixel
SamplerState smpClamp : register(s0);

static const int RINGS = 10;
static const int RING_SAMPLES = 32;
static const float TWO_PI = 6.28318;
static const float OFFSET_SCALE = 1.0 / 1000.0;

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    uint width, height, cellsX, cellsY;
    inputTex.GetDimensions(width, height);
    quietTex.GetDimensions(cellsX, cellsY);
    const int2 cell = glowCellOf(i.uv, float2(width, height), int2(cellsX, cellsY));
    if (quietTex.Load(int3(cell, 0)).r == 1.0)
        discard;

    float3 c = inputTex.SampleLevel(smpClamp, i.uv, 0).rgb;
    float y = lum(c);
    c = (c - y) * 1.25 + y;

    float3 sum = float3(0.0, 0.0, 0.0);
    float weightSum = 0.0;
    for (int k = 1; k <= RINGS; ++k) {
        float r = glowrad * float(k) / float(RINGS);
        // Outer rings count less, so the glow falls off with distance.
        float w = 1.0 / (r + 1.0);
        for (int j = 0; j < RING_SAMPLES; ++j) {
            float a = float(j) * TWO_PI / float(RING_SAMPLES);
            float2 offset = r * float2(cos(a), sin(a)) * OFFSET_SCALE;
            sum += w * inputTex.SampleLevel(smpClamp, i.uv + offset, 0).rgb;
            weightSum += w;
        }
    }
    float3 glow = sum / weightSum;
    return float4(saturate(c + 0.35 * glowintens * glow), 0.0);
}
