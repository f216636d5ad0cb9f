// The pyramid: a triangle split at its (scaled) edge midpoints into three yellow corner
// triangles and a transparent centre; whatever the four leave uncovered is white.
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "pyramid_triangle.hlsli"

StructuredBuffer<PyramidStateElement> bufferSRV2 : register(t0);

static const float4 PYRAMID_FILL = float4(1.0, 0.8, 0.0, 1.0);
static const float4 PYRAMID_GAP = float4(1.0, 1.0, 1.0, 1.0);
static const float4 TRANSPARENT = float4(0.0, 0.0, 0.0, 0.0);

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    PyramidState s = loadPyramidState(bufferSRV2[0]);
    float2 p = i.uv * 2.0 - 1.0;
    if (!insideTriangle(p, pyramidTriangle(s)))
        return TRANSPARENT;

    // Back into the pyramid's own frame, where the sub-triangles are defined.
    float2 q = rotatePoint(p - s.position, -s.rotation);

    float2 mAB = (PYRAMID_A + PYRAMID_B) * 0.5 * randomshit;
    float2 mAC = (PYRAMID_A + PYRAMID_C) * 0.5 * randomshit;
    float2 mBC = (PYRAMID_B + PYRAMID_C) * 0.5 * randomshit;

    if (insideTriangle(q, makeTriangle(PYRAMID_A, mAC, mAB)) ||
        insideTriangle(q, makeTriangle(mAB, mBC, PYRAMID_B)) ||
        insideTriangle(q, makeTriangle(mAC, PYRAMID_C, mBC)))
        return PYRAMID_FILL;
    if (insideTriangle(q, makeTriangle(mAB, mBC, mAC)))
        return TRANSPARENT;
    return PYRAMID_GAP;
}
