// One triangle covering the viewport (the band), made from the vertex id.
float4 vertex_main(uint vertexId : SV_VertexID) : SV_POSITION {
    float2 corner = float2((vertexId << 1) & 2, vertexId & 2);
    return float4(corner.x * 2.0 - 1.0, corner.y * -2.0 + 1.0, 0.0, 1.0);
}
