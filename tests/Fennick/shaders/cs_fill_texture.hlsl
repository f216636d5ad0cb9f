// Writes texel (x, y) of level 0 as (x, y, p0, 1).
#include "test_context_buffer.hlsli"

RWTexture2D<float4> target : register(u0);

[numthreads(8, 8, 1)] void kernel_main(uint3 id : SV_DispatchThreadID) {
    target[id.xy] = float4(id.x, id.y, p0, 1.0);
}
