#ifndef PYRAMID_STATE_HLSLI
#define PYRAMID_STATE_HLSLI

// 12-byte element of the pyramid buffer: rotation at 0, position at 4. Scalar members keep
// the float2 at offset 4, which a GLSL std430 vector member could not.
struct PyramidStateElement {
    float rotation;
    float positionX;
    float positionY;
};

struct PyramidState {
    float rotation;
    float2 position;
};

PyramidState loadPyramidState(PyramidStateElement e)
{
    PyramidState s;
    s.rotation = e.rotation;
    s.position = float2(e.positionX, e.positionY);
    return s;
}

PyramidStateElement storePyramidState(PyramidState s)
{
    PyramidStateElement e;
    e.rotation = s.rotation;
    e.positionX = s.position.x;
    e.positionY = s.position.y;
    return e;
}

#endif
