// Pyramid look: luminance with a vertical gain ramp, dithered onto the eight-colour palette.
#include "color.hlsli"
#include "context_buffer.hlsli"
#include "dither.hlsli"
#include "dither_palette.hlsli"
#include "fullscreen_io.hlsli"

Texture2D inputTex : register(t0);
SamplerState smpClamp : register(s0);

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    float4 c = inputTex.SampleLevel(smpClamp, i.uv, 0);
    if (c.a == 0.0 || all(c.rgb == float3(0.0, 0.0, 0.0)))
        return c;

    // No gain in the lower part of the screen, rising to 1.5 towards the top.
    float v = 1.0 - i.uv.y;
    float gain = v < 0.35 ? 0.0 : (v > 0.8 ? 1.5 : (v - 0.35) / 0.45 * 1.5);
    float L = lum(gain * c.rgb);

    float q = ditherQuantise(L, 1.0 / 7.0, ditherNoise(i.position.xy, i.uv, time));
    // Gained luminance can pass 1, which would run off the end of the palette.
    int index = clamp(int(floor(7.0 * q + 0.5)), 0, 7);
    return float4(ditherPalette[index], c.a);
}
