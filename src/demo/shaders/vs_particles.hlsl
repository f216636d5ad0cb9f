// Particle sprites: six vertices per particle for the first 1000 particles, then six per
// collision flash for as many particles as the remaining vertices reach.
#include "context_buffer.hlsli"
#include "particle_element.hlsli"
#include "particle_io.hlsli"

StructuredBuffer<ParticleElement> bufferSRV : register(t0);

static const uint SPRITE_VERTICES = 6000;
static const float SPRITE_SIZE = 0.003;
static const float FLASH_SIZE = 0.005;
static const float4 FLASH_COLOUR = float4(1.0, 0.75, 0.5, 0.25);
static const float4 OFF_SCREEN = float4(100.0, 100.0, 0.0, 1.0);

static const float2 quadCorners[6] = {
    float2(-1.0, -1.0), float2(1.0, -1.0), float2(1.0, 1.0),
    float2(-1.0, -1.0), float2(1.0, 1.0),  float2(-1.0, 1.0)
};

// Corner offset of a square that is size high in clip units and as wide in pixels.
float2 squareCorner(float2 corner, float size)
{
    return float2(size * corner.x * resolution.y / resolution.x, size * corner.y);
}

ParticleVertexToPixel vertex_main(uint vertexId : SV_VertexID)
{
    ParticleVertexToPixel o;
    o.position = OFF_SCREEN;
    o.uv = float2(0.0, 0.0);
    o.flashPhase = 0.0;
    o.color = float4(0.0, 0.0, 0.0, 0.0);
    o.isFlash = 0;

    float2 corner = quadCorners[vertexId % 6];
    if (vertexId < SPRITE_VERTICES) {
        Particle p = loadParticle(bufferSRV[vertexId / 6]);
        if (p.isActive) {
            o.position = p.position;
            o.position.xy += squareCorner(corner, SPRITE_SIZE);
            o.color = p.myColor;
        }
    } else {
        Particle p = loadParticle(bufferSRV[(vertexId - SPRITE_VERTICES) / 6]);
        if (p.collisionStatus == COLLISION_HIT) {
            o.position = float4(p.position.xy + squareCorner(corner, FLASH_SIZE), 0.0, 1.0);
            o.color = FLASH_COLOUR;
            o.isFlash = 0xFFFFFFFFu;
            o.flashPhase = float(frame % 3);
        }
    }
    return o;
}
