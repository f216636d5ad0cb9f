#ifndef GLOW_CELLS_HLSLI
#define GLOW_CELLS_HLSLI

// Include after context_buffer.hlsli (glowrad, glowintens).

// The glow blur skips the pixels whose every sample is black. Which those are is worked out
// on a grid of cells of GLOW_CELL x GLOW_CELL texels of the particle sprites: first which
// cells hold any coloured texel, then which cells no coloured texel can reach through the
// rings (the quiet cells).
static const uint GLOW_CELL = 8;

// The ring blur's radius in sprite texels along each axis, widened by the bilinear footprint
// (1.5 texels) and a margin for rounding, so that a cell's reach is never short.
float2 glowReachTexels(float2 spriteSize)
{
    return abs(glowrad) * 0.001 * 1.001 * spriteSize + 3.0;
}

// The quiet test holds only where a black neighbourhood gives an exact black pixel: a
// non-negative radius (all ring weights in (0, 1]) and a finite intensity. Larger radii than
// this reach the whole picture anyway.
bool glowSkipAllowed()
{
    return glowrad >= 0.0 && glowrad <= 1000.0 && abs(glowintens) <= 3.0e38;
}

// The cell of the sprite picture that holds texture coordinate uv.
int2 glowCellOf(float2 uv, float2 spriteSize, int2 cells)
{
    float2 cell = floor(uv * spriteSize / float(GLOW_CELL));
    return int2(clamp(cell, float2(0.0, 0.0), float2(cells - 1)));
}

#endif
