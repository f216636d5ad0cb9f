// Writes the pixel position and the interpolated uv.
#include "test_params.hlsli"

float4 pixel_main(ColourVertex i) : SV_TARGET {
    return float4(i.position.xy, i.uv);
}
