// Full-screen triangle (-1, -1), (3, -1), (-1, 3) with v growing upwards, at depth 0.5.
#include "fullscreen_io.hlsli"

VertexToPixel vertex_main(uint vertexId : SV_VertexID, uint instanceId : SV_InstanceID)
{
    VertexToPixel o;
    o.position = float4(-1.0, -1.0, 0.5, 1.0);
    o.uv = float2(0.0, 0.0);
    if (vertexId == 1) {
        o.position.xy = float2(3.0, -1.0);
        o.uv = float2(2.0, 0.0);
    } else if (vertexId == 2) {
        o.position.xy = float2(-1.0, 3.0);
        o.uv = float2(0.0, 2.0);
    }
    return o;
}
