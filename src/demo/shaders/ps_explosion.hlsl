// Six bursts of eight dots that fly apart as explosionframe advances, one burst starting every
// twelve frames.
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"

static const int EXPLOSIONS = 6;
static const int DOTS = 8;
static const float DOT_RADIUS = 2.5;
static const float DOT_SPEED = 2.0;
static const float FRAMES_BETWEEN = 12.0;
static const float4 DOT_COLOUR = float4(0.5, 0.4, 0.3, 0.5);

static const float2 explosionCentres[EXPLOSIONS] = {
    float2(0.295, 0.755), float2(0.433, 0.84), float2(0.5475, 0.839),
    float2(0.332, 0.827), float2(0.4, 0.68),   float2(0.52, 0.775)
};

float hash11(float x)
{
    float f = frac(0.1031 * x);
    return frac(f * (f + 33.33));
}

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    float4 o = float4(0.0, 0.0, 0.0, 0.0);
    if (PARTICLEEXPLOSION != 1.0)
        return o;

    float2 p = i.uv * resolution;
    // A pixel that no burst reaches adds zero to the target (blend one, one), so it is
    // discarded before the dots are tested. The reach is a pixel wider than the dot test below
    // can hit, so rounding cannot discard a pixel that a dot covers.
    bool reached = false;
    for (int b = 0; b < EXPLOSIONS; ++b) {
        float T = explosionframe - FRAMES_BETWEEN * float(b);
        float2 centre = explosionCentres[b] * resolution;
        if (!(T < 0.0 || length(p - centre) > DOT_RADIUS + DOT_SPEED * T + 1.0))
            reached = true;
    }
    if (!reached)
        discard;

    for (int k = 0; k < EXPLOSIONS; ++k) {
        float T = explosionframe - FRAMES_BETWEEN * float(k);
        float2 centre = explosionCentres[k] * resolution;
        float spread = DOT_SPEED * T;
        if (T < 0.0 || length(p - centre) > DOT_RADIUS + spread)
            continue;
        float seed = hash11(1000.0 * float(k));
        for (int j = 0; j < DOTS; ++j) {
            float a = 6.28318 * hash11(seed + float(j));
            float2 dotPosition = centre + spread * float2(cos(a), sin(a));
            if (length(p - dotPosition) < DOT_RADIUS)
                o += DOT_COLOUR;
        }
    }
    return o;
}
