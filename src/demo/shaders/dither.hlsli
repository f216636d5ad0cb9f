#ifndef DITHER_HLSLI
#define DITHER_HLSLI

// Screen-space noise for the ordered quantiser: a 2x2-pixel cell term, a coarse 30x30 term and
// a fine per-pixel term, all drifting with time so the dither crawls.
float ditherNoise(float2 pixel, float2 uv, float t)
{
    const float2 ka = float2(12.9898, 78.233);
    float2 a = floor(pixel / 2.0) * 0.5 + float2(0.5 * t, 0.3 * t);
    float na = frac(sin(dot(a * ka, ka)) * 43758.547);

    const float2 kb = float2(43.5632, 29.751);
    float2 b = floor(pixel / 30.0) * 100.0 + float2(0.2 * t, 0.1 * t);
    float nb = frac(sin(dot(b * kb, kb)) * 23421.63);

    float nc = frac(sin(dot(uv + 0.1 * t, float2(89.123, 37.567))) * 12345.679);
    return 0.7 * na + 0.3 * nb + 0.1 * nc;
}

// Rounds L down or up to a multiple of stepSize; the noise moves the threshold between the two.
float ditherQuantise(float L, float stepSize, float n)
{
    float lo = floor(L / stepSize) * stepSize;
    float hi = ceil(L / stepSize) * stepSize;
    float f = (L - lo) / stepSize;
    return (0.6 * n + 0.4 < f) ? hi : lo;
}

#endif
