#ifndef DITHER_PALETTE_HLSLI
#define DITHER_PALETTE_HLSLI

static const float3 ditherPalette[8] = {
    float3(0.718, 0.859, 0.718), float3(1.0, 0.718, 0.431),   float3(1.0, 0.573, 0.286),
    float3(0.859, 0.431, 0.286), float3(0.859, 0.286, 0.145), float3(0.573, 0.145, 0.286),
    float3(0.431, 0.145, 0.286), float3(0.282, 0.141, 0.282)
};

#endif
