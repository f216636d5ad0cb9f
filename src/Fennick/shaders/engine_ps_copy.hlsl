// Writes the input texture's level 0, point-sampled and clamped, at the interpolated
// coordinate.
Texture2D inputTex : register(t0);
SamplerState smp : register(s3);

struct PixelInput {
    float4 position : SV_POSITION;
    float2 uv : TEXCOORD0;
};

float4 pixel_main(PixelInput input) : SV_TARGET {
    return inputTex.SampleLevel(smp, input.uv, 0);
}
