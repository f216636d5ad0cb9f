// Glow around the particle sprites: a slightly saturated copy plus a ring blur whose radius
// follows glowrad.
#include "color.hlsli"
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"

Texture2D inputTex : register(t0);
SamplerState smpClamp : register(s0);

static const int RINGS = 10;
static const int RING_SAMPLES = 32;
static const float TWO_PI = 6.28318;
static const float OFFSET_SCALE = 1.0 / 1000.0;

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
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
    return float4(saturate(c + 0.35 * glowintens * glow), 1.0);
}
