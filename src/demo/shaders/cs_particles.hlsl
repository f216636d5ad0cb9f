// One step of the particle stream: particles enter at the right edge, drift left with an
// optional wave, bounce off the pyramid and die at the screen bounds. Element 0 is not a
// particle; it carries the spawn cursor from frame to frame.
#include "context_buffer.hlsli"
#include "hash.hlsli"
#include "particle_element.hlsli"
#include "particle_palette.hlsli"
#include "pyramid_triangle.hlsli"

StructuredBuffer<ParticleElement> bufferSRV : register(t0);
StructuredBuffer<PyramidStateElement> pyramidBuffer : register(t1);
RWStructuredBuffer<ParticleElement> bufferUAV : register(u2);

static const uint PARTICLE_CAPACITY = 1000;
static const float STEP = 0.004;
static const float BOUNCE_STEP = 0.01;
static const float BOUNCE_PUSH = 1.05;
static const float SPEED_JITTER = 2.5;
static const float SPAWN_SPREAD = 1.0;
static const float SPAWN_CENTRE = -0.5;
static const float GAUSSIAN_LIMIT = 5.0;
static const float WAVE_AMPLITUDE = 1.25;
static const float WAVE_FREQUENCY = 0.3;
static const float WAVE_PROBABILITY = 0.65;

// Seeds that decorrelate the random draws of one particle index.
static const uint SEED_GAUSS_ANGLE = 8327;
static const uint SEED_SPEED = 1234;
static const uint SEED_WAVE_CHANCE = 5678;
static const uint SEED_WAVE_AMPLITUDE = 9012;
static const uint SEED_WAVE_FREQUENCY = 3456;

float4 collisionColour(uint uniqueID)
{
    return float4(particlePalette[hash32(uniqueID) % PARTICLE_PALETTE_COLOURS], 1.0);
}

// Unit normal of the edge from p to q, pointing away from the opposite corner r.
float2 outwardNormal(float2 p, float2 q, float2 r)
{
    float2 e = q - p;
    float2 n = normalize(float2(e.y, -e.x));
    return dot(n, r - p) > 0.0 ? -n : n;
}

// The edge a particle bounces off, chosen from its weights inside the triangle.
float2 bounceNormal(float2 weights, Triangle t)
{
    if (weights.x + weights.y > 0.75)
        return outwardNormal(t.b, t.c, t.a);
    if (weights.y < 0.75)
        return outwardNormal(t.a, t.b, t.c);
    return outwardNormal(t.a, t.c, t.b);
}

void moveParticle(inout Particle p, Triangle pyramid)
{
    float wave = p.waveInfo.x > 0.0 ? sin(float(p.age) * 0.1 * p.waveInfo.y) * p.waveInfo.x : 0.0;
    float2 velocity = p.direction * p.speed;
    float2 candidate = p.position.xy + STEP * velocity + float2(0.0, STEP * wave);

    float2 weights = barycentricWeights(candidate, pyramid);
    if (insideWeights(weights)) {
        p.collisionStatus = COLLISION_HIT;
        float2 n = bounceNormal(weights, pyramid);
        float len = length(velocity);
        // A particle at rest has no direction to mirror; it leaves along the edge normal.
        float2 incoming = len > 0.0 ? velocity / len : -n;
        float2 outgoing = normalize(reflect(incoming, n));
        p.direction = outgoing;
        p.speed = float2(len, len);
        p.myColor = collisionColour(p.uniqueID);
        p.position.xy = p.position.xy * BOUNCE_PUSH + BOUNCE_STEP * outgoing;
    } else {
        if (p.collisionStatus == COLLISION_HIT) {
            p.collisionStatus = COLLISION_LEFT;
            p.myColor = collisionColour(p.uniqueID);
        }
        p.position.xy = candidate;
    }
    p.age += 1;
    if (candidate.x < -1.0 || candidate.y > 0.99 || candidate.y < -0.9)
        p.isActive = false;
}

// Box-Muller normal deviate limited to [-5, 5]; the infinite value of u1 = 0 lands on a bound
// and anything undefined on the lower one.
float spawnGaussian(uint i)
{
    float u1 = rand1000(i);
    float u2 = rand1000(SEED_GAUSS_ANGLE + i);
    float g = sqrt(-2.0 * log(u1)) * cos(6.28318 * u2);
    return g >= -GAUSSIAN_LIMIT ? min(g, GAUSSIAN_LIMIT) : -GAUSSIAN_LIMIT;
}

void spawnParticle(inout Particle p, uint i)
{
    float g = spawnGaussian(i);
    float y = (g / GAUSSIAN_LIMIT + 1.0) / 2.0 * SPAWN_SPREAD + SPAWN_CENTRE;
    p.myColor = float4(1.0, 1.0, 1.0, 1.0);
    p.age = 0;
    p.position = float4(1.0, y, 0.0, 1.0);
    p.isActive = true;
    p.uniqueID = i;
    p.collisionStatus = COLLISION_NONE;
    p.speed = float2(5.0 * partikelfart + rand1000(SEED_SPEED + i) * 5.0 - SPEED_JITTER, 0.0);
    p.direction = float2(-1.0, 0.0);
    p.waveInfo.x = rand1000(SEED_WAVE_CHANCE + i) < WAVE_PROBABILITY
                       ? rand1000(SEED_WAVE_AMPLITUDE + i) * WAVE_AMPLITUDE
                       : 0.0;
    p.waveInfo.y = WAVE_FREQUENCY * (0.8 + 0.4 * rand1000(SEED_WAVE_FREQUENCY + i));
    p.padding = 0.0;
}

// Negative or NaN counts spawn nothing; the upper limit keeps the conversion defined and the
// cursor sum below 2^32.
uint spawnCount()
{
    float n = GLOBAL_PARTICLE_COUNT;
    return n >= 1.0 ? uint(min(n, 1.0e9)) : 0u;
}

[numthreads(8, 1, 1)]
void kernel_main(uint3 threadId : SV_DispatchThreadID)
{
    uint i = threadId.x;
    if (i >= PARTICLE_CAPACITY)
        return;

    Particle p = loadParticle(bufferSRV[i]);
    uint cursor = bufferSRV[0].lastSpawnedID;
    uint count = spawnCount();

    if (i == 0) {
        p.lastSpawnedID = (count + cursor) % PARTICLE_CAPACITY;
    } else if (p.isActive) {
        moveParticle(p, pyramidTriangle(loadPyramidState(pyramidBuffer[0])));
    } else if (i >= cursor && i - cursor < count) {
        spawnParticle(p, i);
    }
    bufferUAV[i] = storeParticle(p);
}
