// Vertices read from a structured buffer by vertex id: clip position and colour.
#include "test_params.hlsli"

struct TestVertex {
    float4 position;
    float4 colour;
};

StructuredBuffer<TestVertex> vertices : register(t0);

ColourVertex vertex_main(uint vertexId : SV_VertexID) {
    ColourVertex o;
    o.position = vertices[vertexId].position;
    o.colour = vertices[vertexId].colour;
    o.uv = o.position.xy;
    o.id = vertexId;
    return o;
}
