// Full-screen triangle with v growing upwards: the coordinate is the clip position mapped to
// [0, 1], as the pyramid scene and the final copy expect.
#include "fullscreen_io.hlsli"

VertexToPixel vertex_main(uint vertexId : SV_VertexID)
{
    VertexToPixel o;
    o.position = fullscreenTrianglePosition(fullscreenTriangleUv(vertexId));
    o.uv = o.position.xy * 0.5 + 0.5;
    return o;
}
