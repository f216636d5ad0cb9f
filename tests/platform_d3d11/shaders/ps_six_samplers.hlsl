// Samples t0 at `coordinate` (level `params.x`) through each of the six shared samplers,
// one render target per sampler.
#include "test_params.hlsli"

Texture2D source : register(t0);
SamplerState linearClamp : register(s0);
SamplerState linearBorder : register(s1);
SamplerState linearWrap : register(s2);
SamplerState pointClamp : register(s3);
SamplerState pointBorder : register(s4);
SamplerState pointWrap : register(s5);

struct Targets {
    float4 s0 : SV_TARGET0;
    float4 s1 : SV_TARGET1;
    float4 s2 : SV_TARGET2;
    float4 s3 : SV_TARGET3;
    float4 s4 : SV_TARGET4;
    float4 s5 : SV_TARGET5;
};

Targets pixel_main(ColourVertex i) {
    Targets o;
    float2 c = coordinate.xy;
    float level = params.x;
    o.s0 = source.SampleLevel(linearClamp, c, level);
    o.s1 = source.SampleLevel(linearBorder, c, level);
    o.s2 = source.SampleLevel(linearWrap, c, level);
    o.s3 = source.SampleLevel(pointClamp, c, level);
    o.s4 = source.SampleLevel(pointBorder, c, level);
    o.s5 = source.SampleLevel(pointWrap, c, level);
    return o;
}
