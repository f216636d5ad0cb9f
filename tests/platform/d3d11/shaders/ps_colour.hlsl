// Writes the interpolated colour; `id` (flat) goes to the second target.
#include "test_params.hlsli"

struct Targets {
    float4 colour : SV_TARGET0;
    uint id : SV_TARGET1;
};

Targets pixel_main(ColourVertex i) {
    Targets o;
    o.colour = i.colour;
    o.id = i.id;
    return o;
}
