// Particles and collision flashes are flat-coloured quads.
#include "particle_io.hlsli"

float4 pixel_main(ParticleVertexToPixel i) : SV_TARGET
{
    return i.color;
}
