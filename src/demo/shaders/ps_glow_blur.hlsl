// Glow around the particle sprites: a slightly saturated copy plus a ring blur whose radius
// follows glowrad.
//
// Most of the sprite picture is black, and where every sample of a pixel is black the result
// is black to the bit: each sample adds an exact zero to the sum, the weight sum does not
// depend on the samples, and the blend adds +0 to the cleared +0. Such pixels (the quiet cells,
// glow_cells.hlsli) return zero at once, which the additive blend leaves as the clear colour.
// So that a blurred pixel and a skipped one end with the same alpha, the pass clears alpha to 2
// and this program adds 0 (before: cleared to 1, and 1 added).
//
// The skip is an early return, not a discard: with a discard the device compiles the blur
// below differently and single pixels change in the last bit.
#include "color.hlsli"
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"
#include "glow_cells.hlsli"

Texture2D inputTex : register(t0);
Texture2D quietTex : register(t1); // 1 per quiet cell; unbound (0) blurs every pixel
SamplerState smpClamp : register(s0);

static const int RINGS = 10;
static const int RING_SAMPLES = 32;
static const float OFFSET_SCALE = 1.0 / 1000.0;
// (cos a, sin a) for a = j x 0.19634938 (6.28318 / 32 in single precision), as single-precision
// cosf and sinf give them, which is what folding cos(a) and sin(a) at compile time yields: a
// table, so that every compilation of the loop takes the same directions (a loop that is
// unrolled gets them folded, one that is not would take the device's own cos and sin, which
// differ in the last bits).
static const float2 RING_DIRECTIONS[RING_SAMPLES] = {
    float2(1, 0),
    float2(0.98078531, 0.19509016),
    float2(0.923879683, 0.382683128),
    float2(0.831469893, 0.555569828),
    float2(0.707107246, 0.707106352),
    float2(0.5555709, 0.831469178),
    float2(0.38268432, 0.923879147),
    float2(0.195091411, 0.980785072),
    float2(1.26759085e-06, 1),
    float2(-0.195088923, 0.980785549),
    float2(-0.382681966, 0.92388016),
    float2(-0.555568755, 0.831470609),
    float2(-0.707105458, 0.70710814),
    float2(-0.831468463, 0.555571973),
    float2(-0.92387867, 0.382685483),
    float2(-0.980784833, 0.195092648),
    float2(-1, 2.53518169e-06),
    float2(-0.980785787, -0.195087686),
    float2(-0.923880637, -0.382680804),
    float2(-0.831471264, -0.555567741),
    float2(-0.707109034, -0.707104564),
    float2(-0.555573225, -0.831467628),
    float2(-0.382686645, -0.923878193),
    float2(-0.195093662, -0.980784595),
    float2(-3.80277243e-06, -1),
    float2(0.195086211, -0.980786085),
    float2(0.382679641, -0.923881114),
    float2(0.555566847, -0.83147186),
    float2(0.70710367, -0.707109928),
    float2(0.831466913, -0.555574238),
    float2(0.923877716, -0.382687837),
    float2(0.980784357, -0.195094913)
};

float4 pixel_main(VertexToPixel i) : SV_TARGET
{
    uint width, height, cellsX, cellsY;
    inputTex.GetDimensions(width, height);
    quietTex.GetDimensions(cellsX, cellsY);
    const int2 cell = glowCellOf(i.uv, float2(width, height), int2(cellsX, cellsY));
    if (quietTex.Load(int3(cell, 0)).r == 1.0)
        return float4(0.0, 0.0, 0.0, 0.0);

    float3 c = inputTex.SampleLevel(smpClamp, i.uv, 0).rgb;
    float y = lum(c);
    c = (c - y) * 1.25 + y;

    float3 sum = float3(0.0, 0.0, 0.0);
    float weightSum = 0.0;
    for (int k = 1; k <= RINGS; ++k) {
        float r = glowrad * float(k) / float(RINGS);
        // Outer rings count less, so the glow falls off with distance.
        float w = 1.0 / (r + 1.0);
        for (int j = 0; j < RING_SAMPLES; ++j) {
            float2 offset = r * RING_DIRECTIONS[j] * OFFSET_SCALE;
            sum += w * inputTex.SampleLevel(smpClamp, i.uv + offset, 0).rgb;
            weightSum += w;
        }
    }
    float3 glow = sum / weightSum;
    return float4(saturate(c + 0.35 * glowintens * glow), 0.0);
}
