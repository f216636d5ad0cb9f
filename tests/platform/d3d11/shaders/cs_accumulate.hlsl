// Adds i + 1 to element i: run twice, the second dispatch must see the first one's writes.
#include "test_params.hlsli"

RWStructuredBuffer<uint> totals : register(u0);

[numthreads(8, 1, 1)]
void kernel_main(uint3 id : SV_DispatchThreadID) {
    if (id.x < count) {
        totals[id.x] += id.x + 1;
    }
}
