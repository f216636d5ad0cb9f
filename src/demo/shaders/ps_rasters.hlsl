// Thirty-two glowing raster bars in a band across the lower part of the screen, each pulsing
// at its own speed and phase.
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "raster_palette.hlsli"

static const float BAND_TOP = 0.625;
static const float BAND_BOTTOM = 0.92;
static const int BARS = 32;
static const float BARS_PER_UNIT = 108.47458;  // 32 bars over the band height 0.295
static const float BAR_HEIGHT = 0.00921875;
static const float GLOW_FALLOFF = 3.3898306;
static const float GLOW_MAX = 3.0;
static const float4 BLACK = float4(0.0, 0.0, 0.0, 1.0);

float hashBar(float bar, float k)
{
    return frac(sin(bar * k) * 43758.547);
}

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    if (i.uv.y < BAND_TOP || i.uv.y > BAND_BOTTOM)
        return BLACK;
    int bar = int((i.uv.y - BAND_TOP) * BARS_PER_UNIT);
    if (bar < 0 || bar >= BARS)
        return BLACK;

    float fb = float(bar);
    float speed = hashBar(fb, 789.012) * (8.0 - 2.5) + 2.5;
    float phase = hashBar(fb, 345.678) * 6.283;
    float brightness = sin(phase + speed * time) * (1.3 - 0.8) + 0.8 + LogoGlow;

    // min(0.01 / d, 3) written so that the bar's centre line (d = 0) divides by nothing.
    float centre = BAND_TOP + (fb + 0.5) * BAR_HEIGHT;
    float d = abs(i.uv.y - centre) * GLOW_FALLOFF;
    float glow = 0.01 / max(d, 0.01 / GLOW_MAX);
    return glow * brightness * float4(rasterPalette[bar], 1.0);
}
