// Samples t0 at (p0, p1), level p2, through each of the six shared samplers s0 to s5; one
// render target per sampler.
#include "test_context_buffer.hlsli"

Texture2D source : register(t0);
SamplerState sampler0 : register(s0);
SamplerState sampler1 : register(s1);
SamplerState sampler2 : register(s2);
SamplerState sampler3 : register(s3);
SamplerState sampler4 : register(s4);
SamplerState sampler5 : register(s5);

struct Targets {
    float4 s0 : SV_TARGET0;
    float4 s1 : SV_TARGET1;
    float4 s2 : SV_TARGET2;
    float4 s3 : SV_TARGET3;
    float4 s4 : SV_TARGET4;
    float4 s5 : SV_TARGET5;
};

Targets pixel_main(float4 position : SV_POSITION, float2 uv : TEXCOORD0) {
    float2 c = float2(p0, p1);
    Targets o;
    o.s0 = source.SampleLevel(sampler0, c, p2);
    o.s1 = source.SampleLevel(sampler1, c, p2);
    o.s2 = source.SampleLevel(sampler2, c, p2);
    o.s3 = source.SampleLevel(sampler3, c, p2);
    o.s4 = source.SampleLevel(sampler4, c, p2);
    o.s5 = source.SampleLevel(sampler5, c, p2);
    return o;
}
