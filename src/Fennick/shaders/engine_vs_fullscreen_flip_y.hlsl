// One triangle covering the screen, made from the vertex id: clip positions (-1, 1), (3, 1)
// and (-1, -3). The texture coordinate is the position mapped to [0, 1], so v grows upwards.
struct VertexOutput {
    float4 position : SV_POSITION;
    float2 uv : TEXCOORD0;
};

VertexOutput vertex_main(uint vertexId : SV_VertexID) {
    float2 corner = float2((vertexId << 1) & 2, vertexId & 2);
    VertexOutput output;
    output.position = float4(corner.x * 2.0 - 1.0, corner.y * -2.0 + 1.0, 0.0, 1.0);
    output.uv = output.position.xy * 0.5 + 0.5;
    return output;
}
