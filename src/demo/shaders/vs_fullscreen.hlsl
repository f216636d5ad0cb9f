// Full-screen triangle with v growing downwards: uv (0, 0) is the top-left of the target.
#include "fullscreen_io.hlsli"

VertexToPixel vertex_main(uint vertexId : SV_VertexID)
{
    VertexToPixel o;
    o.uv = fullscreenTriangleUv(vertexId);
    o.position = fullscreenTrianglePosition(o.uv);
    return o;
}
