// (u, v, counter / 8, p0): position, the previous frame's counter and a parameter.
#include "test_context_buffer.hlsli"

StructuredBuffer<uint> counter : register(t0);

float4 pixel_main(float4 position : SV_POSITION, float2 uv : TEXCOORD0) : SV_TARGET {
    float count = frame == 0 ? 0.0 : float(counter[0]);
    return float4(uv.x, uv.y, count * 0.125, p0);
}
