// The input, point-sampled, times p1.
#include "test_context_buffer.hlsli"

Texture2D inputTex : register(t0);
SamplerState nearestClamp : register(s3);

float4 pixel_main(float4 position : SV_POSITION, float2 uv : TEXCOORD0) : SV_TARGET {
    return inputTex.SampleLevel(nearestClamp, uv, 0) * p1;
}
