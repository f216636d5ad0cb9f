// Writes 36-byte elements (member k of element i = 10 i + k) into whatever buffer is bound.
#include "test_params.hlsli"

struct Element36 { float v[9]; };
RWStructuredBuffer<Element36> elements : register(u0);

[numthreads(8, 1, 1)]
void kernel_main(uint3 id : SV_DispatchThreadID) {
    if (id.x >= count) {
        return;
    }
    for (uint k = 0; k < 9; ++k) {
        elements[id.x].v[k] = 10.0 * id.x + k;
    }
}
