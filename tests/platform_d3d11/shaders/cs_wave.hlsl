// Bar heights for the compute-and-draw test: h(i) = 0.5 + 0.45 sin(0.7 i + params.x).
#include "test_params.hlsli"

RWStructuredBuffer<float> heights : register(u0);

[numthreads(8, 1, 1)]
void kernel_main(uint3 id : SV_DispatchThreadID) {
    if (id.x < count) {
        heights[id.x] = 0.5 + 0.45 * sin(0.7 * id.x + params.x);
    }
}
