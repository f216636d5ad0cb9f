// Puts the show's layers together: pyramid over particles, scroller and credits; logo, glass
// and halo over that; raster bars or glow inside the broken logo; fade, explosion,
// saturation and the heart overlay last.
#include "color.hlsli"
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "logo_placement.hlsli"

Texture2D pyramidTex : register(t0);
Texture2D particleTex : register(t1);
Texture2D logoTex : register(t2);
Texture2D logoTex2 : register(t3);
Texture2D scrollerTex : register(t4);
Texture2D logoTex3 : register(t5);
Texture2D logoTex4 : register(t6);
Texture2D glowstuffTex : register(t7);
// t8 carries a second copy of the glow map, which this program does not need.
Texture2D rastersTex : register(t9);
Texture2D particleexplosiontex : register(t10);
Texture2D heartImage : register(t11);
Texture2D CredsImage : register(t12);
SamplerState smpClamp : register(s0);
SamplerState smpNearestClamp : register(s3);

static const float3 HALO_COLOUR = float3(1.0, 0.5, 0.2);
static const float2 CREDITS_ANCHOR = float2(0.5, 0.1);
static const float2 CREDITS_SCALE = float2(299.0, 17.0);
static const float CREDITS_COLUMN_WIDTH = 13.0;

float4 sampleLinear(Texture2D tex, float2 uv)
{
    return tex.SampleLevel(smpClamp, uv, 0);
}

float4 samplePoint(Texture2D tex, float2 uv)
{
    return tex.SampleLevel(smpNearestClamp, uv, 0);
}

// The credits strip, each column of letters bobbing on its own phase of a sine wave.
float3 credits(float2 uv)
{
    float2 cu = CREDITS_ANCHOR + (resolution / CREDITS_SCALE) * (uv - CREDITS_ANCHOR);
    float column = floor((CREDITS_SCALE.x * (cu.x - 0.5) + 149.5) / CREDITS_COLUMN_WIDTH);
    cu.y += 0.15 * sin(0.273 * column + 2.0 * time);
    return samplePoint(CredsImage, cu).rgb;
}

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    float2 uv = i.uv;
    float2 lu = logoCoordinate(uv, resolution);
    float g = Glass1opacity;

    float4 P = sampleLinear(pyramidTex, uv);
    float4 Q = sampleLinear(particleTex, uv);
    float3 S = sampleLinear(scrollerTex, uv).rgb;
    float4 G = sampleLinear(glowstuffTex, uv);
    float4 B = sampleLinear(rastersTex, uv);

    float4 L1 = sampleLinear(logoTex, lu) * logoOpacity;
    float4 L2 = (Brokenlogo == 0.0 ? samplePoint(logoTex2, lu) : samplePoint(logoTex3, lu)) *
                logoOpacity;
    float4 K = sampleLinear(logoTex4, lu);
    float kr = K.r * logoOpacity;
    float ka = K.a * logoOpacity;
    float4 H = samplePoint(heartImage, lu);

    float2 fromAnchor = uv - LOGO_ANCHOR;
    float h = exp(-dot(fromAnchor, fromAnchor) / 0.09) * LogoGlow * g * L2.a;

    float3 base = Q.rgb * Q.a + S + credits(uv) * credsvisibility;
    base = P.rgb * P.a + (1.0 - P.a) * base;

    float3 colour = (1.0 - (g * L2.a + L1.a)) * base + L1.rgb * L1.a +
                    (g * L2.a + 0.15 * B.a * L2.a) * L2.rgb + HALO_COLOUR * h;

    if (Brokenlogo == 1.0) {
        // The mask's red picks raster bars inside the cracks, the glow elsewhere.
        float m = kr >= 0.5 ? 1.0 : 0.0;
        colour += m * B.rgb * ka + (1.0 - m) * G.rgb * G.a * 0.25 * logoOpacity * 0.5;
    }

    colour *= FadeIn;
    colour += sampleLinear(particleexplosiontex, uv).rgb;

    float y = 0.5 * lum(colour);
    colour = (colour - y) * Light_n_Saturation + y;

    colour += (H.rgb * heartOpacity * 1.9 - colour) * (H.a * heartOpacity * 0.9);
    return float4(colour, 1.0);
}
