#ifndef HASH_HLSLI
#define HASH_HLSLI

// Integer hash (one-at-a-time style mixing); all arithmetic wraps at 32 bits.
uint hash32(uint x)
{
    x += x << 10;
    x ^= x >> 6;
    x += x << 3;
    x ^= x >> 11;
    x += x << 15;
    return x;
}

// A pseudo-random value in [0, 0.999] in steps of 0.001.
float rand1000(uint x)
{
    return float(hash32(x) % 1000u) / 1000.0;
}

#endif
