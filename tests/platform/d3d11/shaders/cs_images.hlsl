// Writes (x, y, x * y, params.x) into a 2D image, (x, y, z, 1) into a 3D image and
// (x, 2x, 0, 1) into a 1D image.
#include "test_params.hlsli"

RWTexture2D<float4> plane : register(u0);
RWTexture3D<float4> volume : register(u1);
RWTexture1D<float4> ramp : register(u2);

[numthreads(8, 8, 1)]
void kernel_main(uint3 id : SV_DispatchThreadID) {
    plane[id.xy] = float4(id.x, id.y, id.x * id.y, params.x);
    volume[id] = float4(id, 1);
    if (id.y == 0 && id.z == 0) {
        ramp[id.x] = float4(id.x, 2 * id.x, 0, 1);
    }
}
