// One texel per cell of the particle sprites: 1 where no sample that the glow blur takes for
// a pixel inside the cell can fall on a coloured sprite texel, 0 where one may (or where the
// glow's parameters do not allow skipping).
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "glow_cells.hlsli"

Texture2D coverageTex : register(t0);
Texture2D spriteTex : register(t1); // read for its size only

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    if (!glowSkipAllowed())
        return float4(0.0, 0.0, 0.0, 0.0);
    uint width, height;
    spriteTex.GetDimensions(width, height);
    const float2 size = float2(width, height);
    // Texels that a sample of a pixel in this cell can touch, then the cells that hold them.
    const float2 cellStart = floor(i.position.xy) * float(GLOW_CELL);
    const float2 reach = glowReachTexels(size);
    const int2 first = int2(max(floor(cellStart - reach), 0.0)) / int(GLOW_CELL);
    const int2 last = int2(min(ceil(cellStart + float(GLOW_CELL) + reach), size - 1.0)) /
                      int(GLOW_CELL);
    float covered = 0.0;
    for (int y = first.y; y <= last.y; ++y)
        for (int x = first.x; x <= last.x; ++x)
            covered = max(covered, coverageTex.Load(int3(x, y, 0)).r);
    return float4(covered == 0.0 ? 1.0 : 0.0, 0.0, 0.0, 0.0);
}
