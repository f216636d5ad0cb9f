// Glyph coverage from either atlas, tinted with the letter colour; coverage is also alpha.
#include "context_buffer.hlsli"
#include "glyph_io.hlsli"

Texture2D letterAtlas : register(t0);
Texture2D letterAtlas2 : register(t2);
SamplerState smpClamp : register(s0);

static const float2 ATLAS_SIZE = float2(4096.0, 3318.0);
static const float3 LETTER_COLOUR = float3(20.0, 2.0, 20.0) / 255.0;

float4 pixel_main(GlyphVertexToPixel i) : SV_TARGET
{
    float4 k = float4(LETTER_COLOUR * lettercolorglobal, 1.0);
    float2 a = i.atlasPixel;
    // Atlas rows are counted from the top; the images are stored bottom row first.
    float2 t = float2(a.x / ATLAS_SIZE.x, 1.0 - a.y / ATLAS_SIZE.y);
    float4 s = i.atlasId == 1 ? letterAtlas.SampleLevel(smpClamp, t, 0)
                              : letterAtlas2.SampleLevel(smpClamp, t, 0);
    float coverage = (s.r + s.g + s.b) / 3.0;
    return coverage * k;
}
