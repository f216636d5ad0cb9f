// Copies ContextBuffer values into a buffer so the test can read what the shaders see.
#include "test_context_buffer.hlsli"

RWStructuredBuffer<float> probe : register(u0);

[numthreads(1, 1, 1)] void kernel_main() {
    probe[0] = time;
    probe[1] = float(frame);
    probe[2] = elapsedTime;
    probe[3] = aspectRatio;
    probe[4] = resolution.x;
    probe[5] = invResolution.y;
    probe[6] = modelViewRows[3].x;
    probe[7] = p0;
    probe[8] = p3;
}
