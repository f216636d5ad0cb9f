#ifndef PARTICLE_ELEMENT_HLSLI
#define PARTICLE_ELEMENT_HLSLI

// 80-byte particle record, member by member in its byte order. Vectors at offsets 20, 48, 56
// and 68 are stored as scalars because std430 would realign them.
struct ParticleElement {
    float colorR, colorG, colorB, colorA; // 0
    uint age;                             // 16
    float positionX, positionY, positionZ, positionW; // 20
    uint isActive;                        // 36, a 32-bit bool
    uint uniqueID;                        // 40
    uint collisionStatus;                 // 44
    float speedX, speedY;                 // 48
    float directionX, directionY;         // 56
    uint lastSpawnedID;                   // 64
    float waveInfoX, waveInfoY;           // 68
    float padding;                        // 76
};

struct Particle {
    float4 myColor;
    uint age;
    float4 position;
    bool isActive;
    uint uniqueID;
    uint collisionStatus;
    float2 speed;
    float2 direction;
    uint lastSpawnedID;
    float2 waveInfo;
    float padding;
};

// Collision states: never hit, hit in this step, left the pyramid after a hit.
static const uint COLLISION_NONE = 0;
static const uint COLLISION_HIT = 1;
static const uint COLLISION_LEFT = 2;

Particle loadParticle(ParticleElement e)
{
    Particle p;
    p.myColor = float4(e.colorR, e.colorG, e.colorB, e.colorA);
    p.age = e.age;
    p.position = float4(e.positionX, e.positionY, e.positionZ, e.positionW);
    p.isActive = e.isActive != 0;
    p.uniqueID = e.uniqueID;
    p.collisionStatus = e.collisionStatus;
    p.speed = float2(e.speedX, e.speedY);
    p.direction = float2(e.directionX, e.directionY);
    p.lastSpawnedID = e.lastSpawnedID;
    p.waveInfo = float2(e.waveInfoX, e.waveInfoY);
    p.padding = e.padding;
    return p;
}

ParticleElement storeParticle(Particle p)
{
    ParticleElement e;
    e.colorR = p.myColor.r;
    e.colorG = p.myColor.g;
    e.colorB = p.myColor.b;
    e.colorA = p.myColor.a;
    e.age = p.age;
    e.positionX = p.position.x;
    e.positionY = p.position.y;
    e.positionZ = p.position.z;
    e.positionW = p.position.w;
    e.isActive = p.isActive ? 1u : 0u;
    e.uniqueID = p.uniqueID;
    e.collisionStatus = p.collisionStatus;
    e.speedX = p.speed.x;
    e.speedY = p.speed.y;
    e.directionX = p.direction.x;
    e.directionY = p.direction.y;
    e.lastSpawnedID = p.lastSpawnedID;
    e.waveInfoX = p.waveInfo.x;
    e.waveInfoY = p.waveInfo.y;
    e.padding = p.padding;
    return e;
}

#endif
