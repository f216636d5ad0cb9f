// The constant buffer every test program reads at b8, like the show's ContextBuffer.
cbuffer TestParams : register(b8) {
    float4 params;      // free per-test values
    float4 coordinate;  // a texture coordinate or offset
    uint count;
    float scale;
    float2 padding;
};

struct ColourVertex {
    float4 position : SV_POSITION;
    float4 colour : COLOR0;
    float2 uv : TEXCOORD0;
    nointerpolation uint id : TEXCOORD1;
};
