// Shows what vsParticles hands over beside the colour: the flash phase in red, the flash flag
// (all bits set) in green, the colour's alpha in blue.
#include "particle_io.hlsli"

float4 pixel_main(ParticleVertexToPixel i) : SV_TARGET
{
    return float4(i.flashPhase, i.isFlash == 0xFFFFFFFFu ? 1.0 : 0.0, i.color.a, 1.0);
}
