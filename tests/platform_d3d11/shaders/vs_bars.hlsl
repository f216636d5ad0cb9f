// One bar per instance, rising from the bottom of the target to the height computed by
// cs_wave; colour (height, i / count, 1, 1).
#include "test_params.hlsli"

StructuredBuffer<float> heights : register(t0);

ColourVertex vertex_main(uint vertexId : SV_VertexID, uint instanceId : SV_InstanceID) {
    const float2 corners[6] = {float2(0, 0), float2(1, 0), float2(1, 1),
                               float2(0, 0), float2(1, 1), float2(0, 1)};
    float2 corner = corners[vertexId % 6];
    float h = heights[instanceId];
    ColourVertex o;
    o.position = float4(-1 + 2.0 * (instanceId + corner.x) / count, -1 + 2 * h * corner.y, 0, 1);
    o.colour = float4(h, (float)instanceId / count, 1, 1);
    o.uv = corner;
    o.id = instanceId;
    return o;
}
