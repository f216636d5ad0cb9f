// Reads thirteen 1x1 textures, t12 also through a second sampler, and a texel by Load.
#include "test_params.hlsli"

Texture2D t0 : register(t0);
Texture2D t1 : register(t1);
Texture2D t2 : register(t2);
Texture2D t3 : register(t3);
Texture2D t4 : register(t4);
Texture2D t5 : register(t5);
Texture2D t6 : register(t6);
Texture2D t7 : register(t7);
Texture2D t8 : register(t8);
Texture2D t9 : register(t9);
Texture2D t10 : register(t10);
Texture2D t11 : register(t11);
Texture2D t12 : register(t12);
SamplerState smpClamp : register(s0);
SamplerState smpNearestClamp : register(s3);

struct Targets {
    float4 weighted : SV_TARGET0;
    float4 twice : SV_TARGET1;
};

Targets pixel_main(ColourVertex i) {
    float2 c = float2(0.5, 0.5);
    float sum = t0.Sample(smpClamp, c).r * 1 + t1.Sample(smpClamp, c).r * 2 +
                t2.Sample(smpClamp, c).r * 4 + t3.Sample(smpClamp, c).r * 8 +
                t4.Sample(smpClamp, c).r * 16 + t5.Sample(smpClamp, c).r * 32 +
                t6.Sample(smpClamp, c).r * 64 + t7.Sample(smpClamp, c).r * 128 +
                t8.Sample(smpClamp, c).r * 256 + t9.Sample(smpClamp, c).r * 512 +
                t10.Sample(smpClamp, c).r * 1024 + t11.Sample(smpClamp, c).r * 2048;
    Targets o;
    o.weighted = float4(sum, t12.Sample(smpClamp, c).r, t12.Sample(smpNearestClamp, c).g,
                        t12.Load(int3(0, 0, 0)).b);
    o.twice = t12.Sample(smpNearestClamp, c) * 2;
    return o;
}
