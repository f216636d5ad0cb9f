// One quad per instance in a row of `count` columns; the instance id travels as `id`.
#include "test_params.hlsli"

ColourVertex vertex_main(uint vertexId : SV_VertexID, uint instanceId : SV_InstanceID) {
    const float2 corners[6] = {float2(0, 0), float2(1, 0), float2(1, 1),
                               float2(0, 0), float2(1, 1), float2(0, 1)};
    float2 corner = corners[vertexId % 6];
    float width = 2.0 / count;
    ColourVertex o;
    o.position = float4(-1 + (instanceId + corner.x) * width, corner.y * 2 - 1, 0, 1);
    o.colour = float4(instanceId, vertexId, 0, 1);
    o.uv = corner;
    o.id = instanceId;
    return o;
}
