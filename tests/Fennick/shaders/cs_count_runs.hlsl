// Counts how often the pass ran.
RWStructuredBuffer<uint> runs : register(u0);

[numthreads(1, 1, 1)] void kernel_main() {
    InterlockedAdd(runs[0], 1);
}
