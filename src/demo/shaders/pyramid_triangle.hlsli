#ifndef PYRAMID_TRIANGLE_HLSLI
#define PYRAMID_TRIANGLE_HLSLI

#include "pyramid_state.hlsli"

// The pyramid's corners in clip units before rotation and translation.
static const float2 PYRAMID_A = float2(0.0, 0.3);
static const float2 PYRAMID_B = float2(-0.26, -0.15);
static const float2 PYRAMID_C = float2(0.26, -0.15);

struct Triangle {
    float2 a;
    float2 b;
    float2 c;
};

float2 rotatePoint(float2 p, float r)
{
    float cr = cos(r);
    float sr = sin(r);
    return float2(p.x * cr - p.y * sr, p.x * sr + p.y * cr);
}

Triangle pyramidTriangle(PyramidState s)
{
    Triangle t;
    t.a = rotatePoint(PYRAMID_A, s.rotation) + s.position;
    t.b = rotatePoint(PYRAMID_B, s.rotation) + s.position;
    t.c = rotatePoint(PYRAMID_C, s.rotation) + s.position;
    return t;
}

float cross2(float2 u, float2 v)
{
    return u.x * v.y - u.y * v.x;
}

// Weights (u towards b, v towards c) of p measured from a. A degenerate triangle gives
// weights that no inside test accepts, instead of a division by zero.
float2 barycentricWeights(float2 p, Triangle t)
{
    float2 e0 = t.b - t.a;
    float2 e1 = t.c - t.a;
    float2 d = p - t.a;
    float den = cross2(e0, e1);
    if (den == 0.0)
        return float2(-1.0, -1.0);
    return float2(cross2(d, e1), cross2(e0, d)) / den;
}

bool insideWeights(float2 w)
{
    return w.x >= 0.0 && w.y >= 0.0 && w.x + w.y <= 1.0;
}

bool insideTriangle(float2 p, Triangle t)
{
    return insideWeights(barycentricWeights(p, t));
}

Triangle makeTriangle(float2 a, float2 b, float2 c)
{
    Triangle t;
    t.a = a;
    t.b = b;
    t.c = c;
    return t;
}

#endif
