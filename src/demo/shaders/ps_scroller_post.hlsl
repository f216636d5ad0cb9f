// Scroller look: dithered luminance steps with a vertical ramp added onto the glyph colour.
#include "context_buffer.hlsli"
#include "dither.hlsli"
#include "fullscreen_io.hlsli"

Texture2D inputTex : register(t0);
SamplerState smpClamp : register(s0);

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    float4 c = inputTex.SampleLevel(smpClamp, i.uv, 0);
    if (c.a == 0.0 || all(c.rgb == float3(0.0, 0.0, 0.0)))
        return c;

    float y = dot(c.rgb, float3(0.358, 0.704, 0.136));
    float g = i.uv.y < 0.1 ? 0.0 : (i.uv.y > 0.9 ? 0.5 : (i.uv.y - 0.1) / 0.8 * 0.5);
    float L = saturate(y + 0.25 * g);

    float q = ditherQuantise(L, 1.0 / 15.0, ditherNoise(i.position.xy, i.uv, time));
    return float4(saturate(c.rgb + 0.5 * q), c.a);
}
