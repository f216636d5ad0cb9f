// Writes what a texture, a structured buffer and a wide constant buffer read, so that empty
// slots and slots emptied by the hazard rules can be seen.
Texture2D<float4> image : register(t0);
StructuredBuffer<float> values : register(t1);
SamplerState nearest : register(s0);
cbuffer Wide : register(b0) {
    float4 wide[64];
};
RWStructuredBuffer<float> seen : register(u0);

[numthreads(1, 1, 1)]
void kernel_main() {
    float4 texel = image.SampleLevel(nearest, float2(0.5, 0.5), 0);
    seen[0] = texel.r;
    seen[1] = texel.g;
    seen[2] = texel.b;
    seen[3] = texel.a;
    seen[4] = values[0];
    seen[5] = values[100]; // byte 400
    seen[6] = wide[40].x;  // byte 640
    seen[7] = wide[0].x;
}
