// Advances the pyramid's rotation by one frame; frame 0 starts from rest.
#include "context_buffer.hlsli"
#include "pyramid_state.hlsli"

StructuredBuffer<PyramidStateElement> bufferSRV : register(t0);
RWStructuredBuffer<PyramidStateElement> bufferUAV : register(u1);

[numthreads(1, 1, 1)]
void kernel_main()
{
    PyramidState s;
    if (frame == 0) {
        s.rotation = 0.0;
        s.position = float2(0.0, 0.0);
    } else {
        s = loadPyramidState(bufferSRV[0]);
    }
    s.rotation += elapsedTime * Pyramid_Rotation;
    bufferUAV[0] = storePyramidState(s);
}
