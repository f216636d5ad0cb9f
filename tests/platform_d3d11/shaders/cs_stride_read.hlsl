// Sums the members of each 36-byte element of t0 into u0.
#include "test_params.hlsli"

struct Element36 { float v[9]; };
StructuredBuffer<Element36> elements : register(t0);
RWStructuredBuffer<float> sums : register(u0);

[numthreads(8, 1, 1)]
void kernel_main(uint3 id : SV_DispatchThreadID) {
    if (id.x >= count) {
        return;
    }
    float sum = 0;
    for (uint k = 0; k < 9; ++k) {
        sum += elements[id.x].v[k];
    }
    sums[id.x] = sum;
}
