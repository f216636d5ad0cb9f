#ifndef PARTICLE_IO_HLSLI
#define PARTICLE_IO_HLSLI

// Interface of vsParticles and psParticle. TEXCOORD0 is declared to keep the common layout of
// pixel inputs but is never written.
struct ParticleVertexToPixel {
    float4 position : SV_POSITION;
    float2 uv : TEXCOORD0;
    float flashPhase : TEXCOORD2;
    float4 color : COLOR0;
    nointerpolation uint isFlash : TEXCOORD1;
};

#endif
