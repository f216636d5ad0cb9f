// Final copy of the show's picture into the window, texel for texel.
#include "fullscreen_io.hlsli"

Texture2D inputTex : register(t0);
SamplerState smp : register(s3);

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    return inputTex.SampleLevel(smp, i.uv, 0);
}
