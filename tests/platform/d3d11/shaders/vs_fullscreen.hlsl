// One triangle over the whole target; uv (0, 0) at the top-left, colour from params.
#include "test_params.hlsli"

ColourVertex vertex_main(uint vertexId : SV_VertexID) {
    ColourVertex o;
    float2 uv = float2((vertexId << 1) & 2, vertexId & 2);
    o.position = float4(uv.x * 2 - 1, 1 - uv.y * 2, 0, 1);
    o.colour = params;
    o.uv = uv;
    o.id = vertexId;
    return o;
}
