// A frame counter kept in a double-buffered buffer: the previous frame's value plus one,
// starting from 0 in frame 0 whatever the buffer held.
#include "test_context_buffer.hlsli"

StructuredBuffer<uint> previous : register(t0);
RWStructuredBuffer<uint> next : register(u1);

[numthreads(1, 1, 1)] void kernel_main() {
    next[0] = frame == 0 ? 1 : previous[0] + 1;
}
