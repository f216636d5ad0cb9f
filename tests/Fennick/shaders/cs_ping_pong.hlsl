// Two inputs and one output: next[i] = previous[i] * 2 + step[0], for 4 elements. The
// output sits at u2 because the pass has two inputs.
StructuredBuffer<uint> previous : register(t0);
StructuredBuffer<uint> step : register(t1);
RWStructuredBuffer<uint> next : register(u2);

[numthreads(8, 1, 1)] void kernel_main(uint3 id : SV_DispatchThreadID) {
    if (id.x < 4)
        next[id.x] = previous[id.x] * 2 + step[0];
}
