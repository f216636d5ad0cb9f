#ifndef FULLSCREEN_IO_HLSLI
#define FULLSCREEN_IO_HLSLI

// What every full-screen vertex program hands to its pixel program. The pixel programs keep
// SV_POSITION first and TEXCOORD0 second, so GLSL locations and D3D registers agree.
struct VertexToPixel {
    float4 position : SV_POSITION;
    float2 uv : TEXCOORD0;
};

// One triangle that covers the screen: ids 0, 1, 2 give uv (0, 0), (2, 0), (0, 2). Higher ids
// repeat with period 4, which the 192- and 300-vertex draws rely on.
float2 fullscreenTriangleUv(uint vertexId)
{
    return float2((vertexId << 1) & 2, vertexId & 2);
}

float4 fullscreenTrianglePosition(float2 uv)
{
    return float4(2.0 * uv.x - 1.0, -2.0 * uv.y + 1.0, 0.0, 1.0);
}

#endif
