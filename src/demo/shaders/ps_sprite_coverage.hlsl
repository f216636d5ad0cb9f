// One texel per cell of the particle sprites: 1 where any texel of the cell has a colour
// other than black (a NaN counts as a colour), 0 where all are black.
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "glow_cells.hlsli"

Texture2D spriteTex : register(t0);

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    uint width, height;
    spriteTex.GetDimensions(width, height);
    const uint2 first = uint2(i.position.xy) * GLOW_CELL;
    const uint2 last = min(first + GLOW_CELL, uint2(width, height));
    float covered = 0.0;
    for (uint y = first.y; y < last.y; ++y)
        for (uint x = first.x; x < last.x; ++x)
            if (any(spriteTex.Load(int3(x, y, 0)).rgb != 0.0))
                covered = 1.0;
    return float4(covered, 0.0, 0.0, 0.0);
}
