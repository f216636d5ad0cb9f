// A constant colour from the four parameters.
#include "test_context_buffer.hlsli"

float4 pixel_main(float4 position : SV_POSITION, float2 uv : TEXCOORD0) : SV_TARGET {
    return float4(p0, p1, p2, p3);
}
