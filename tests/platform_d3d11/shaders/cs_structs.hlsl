// Structured elements of 12, 36, 48 and 80 bytes and plain ints, read from t0..t4 and
// written transformed to u0..u4: member k of element i becomes 2 x + i + k / 4 + params.x.
#include "test_params.hlsli"

struct Element12 { float v[3]; };
struct Element36 { float v[9]; };
struct Element48 { float v[12]; };
struct Element80 {
    float v[16];
    uint flags;
    int signedValue;
    float2 pair;
};

StructuredBuffer<Element12> in12 : register(t0);
StructuredBuffer<Element36> in36 : register(t1);
StructuredBuffer<Element48> in48 : register(t2);
StructuredBuffer<Element80> in80 : register(t3);
StructuredBuffer<int> inInts : register(t4);
RWStructuredBuffer<Element12> out12 : register(u0);
RWStructuredBuffer<Element36> out36 : register(u1);
RWStructuredBuffer<Element48> out48 : register(u2);
RWStructuredBuffer<Element80> out80 : register(u3);
RWStructuredBuffer<int> outInts : register(u4);

float transform(float x, uint i, uint k) {
    return 2 * x + i + k * 0.25 + params.x;
}

[numthreads(8, 1, 1)]
void kernel_main(uint3 id : SV_DispatchThreadID) {
    uint i = id.x;
    if (i >= count) {
        return;
    }
    uint k;
    Element12 a = in12[i];
    for (k = 0; k < 3; ++k) a.v[k] = transform(a.v[k], i, k);
    out12[i] = a;
    Element36 b = in36[i];
    for (k = 0; k < 9; ++k) b.v[k] = transform(b.v[k], i, k);
    out36[i] = b;
    Element48 c = in48[i];
    for (k = 0; k < 12; ++k) c.v[k] = transform(c.v[k], i, k);
    out48[i] = c;
    Element80 d = in80[i];
    for (k = 0; k < 16; ++k) d.v[k] = transform(d.v[k], i, k);
    d.flags = (d.flags ^ 0xffffu) + i;
    d.signedValue = -d.signedValue - (int)i;
    d.pair = d.pair.yx;
    out80[i] = d;
    outInts[i] = inInts[i] * -3 + (int)i;
}
