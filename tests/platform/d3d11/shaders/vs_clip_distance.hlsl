// A vertex program that writes a clip distance, which the layer cannot honour.
struct ClippedVertex {
    float4 position : SV_POSITION;
    float clip : SV_ClipDistance0;
};

ClippedVertex vertex_main(uint id : SV_VertexID) {
    ClippedVertex o;
    o.position = float4(float(id & 1), float(id >> 1), 0, 1);
    o.clip = o.position.x - 0.5;
    return o;
}
