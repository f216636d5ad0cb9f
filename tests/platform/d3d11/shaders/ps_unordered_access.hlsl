// A pixel program that writes an unordered-access view, which only compute programs may bind.
RWStructuredBuffer<float> written : register(u1);

float4 pixel_main(float4 position : SV_POSITION) : SV_TARGET {
    written[uint(position.x)] = 1;
    return float4(1, 0, 0, 1);
}
