#ifndef COLOR_HLSLI
#define COLOR_HLSLI

float lum(float3 c)
{
    return dot(c, float3(0.299, 0.587, 0.114));
}

#endif
