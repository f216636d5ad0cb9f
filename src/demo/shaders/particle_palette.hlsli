#ifndef PARTICLE_PALETTE_HLSLI
#define PARTICLE_PALETTE_HLSLI

// Fifteen colours; the sixteenth repeats the last so an index of exactly 15 stays in range.
static const uint PARTICLE_PALETTE_COLOURS = 15;
static const float3 particlePalette[16] = {
    float3(0.718, 0.859, 0.718), float3(0.286, 0.573, 0.573), float3(0.145, 0.431, 0.573),
    float3(0.145, 0.286, 0.431), float3(0.286, 0.145, 0.286), float3(0.431, 0.286, 0.431),
    float3(0.573, 0.431, 0.573), float3(0.573, 0.573, 0.718), float3(0.859, 0.286, 0.145),
    float3(1.0, 0.718, 0.431),   float3(1.0, 0.573, 0.286),   float3(0.859, 0.431, 0.286),
    float3(0.718, 0.286, 0.286), float3(0.573, 0.145, 0.286), float3(0.431, 0.145, 0.286),
    float3(0.431, 0.145, 0.286)
};

#endif
