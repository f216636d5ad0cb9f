#ifndef LOGO_PLACEMENT_HLSLI
#define LOGO_PLACEMENT_HLSLI

// The 764 x 348 logo images sit at their native pixel size around this point of the screen's
// texture-coordinate square.
static const float2 LOGO_ANCHOR = float2(0.5, 0.86);
static const float2 LOGO_SIZE = float2(764.0, 348.0);

float2 logoCoordinate(float2 uv, float2 resolution)
{
    return LOGO_ANCHOR + (resolution / LOGO_SIZE) * (uv - LOGO_ANCHOR);
}

#endif
