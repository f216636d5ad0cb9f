// HLSL put before every program of the web build: sin and cos of arguments beyond ±100π are
// taken of the argument reduced to one turn in single precision, 2π·frac(x / 2π); within ±100π
// nothing changes. Direct3D bounds the error of sin and cos only within ±100π, and the show's
// noise and hashes take them of arguments far beyond (the dither's reach 10^7). WebGPU devices
// answer there in their own ways: SwiftShader gives 0 for sin(1.6e7) and errors near 0.07 at
// 1.6e6, which flattens the dither's noise and shifts its mean. Reduced first, every device
// evaluates an argument it handles, as a sine unit that works in turns would; the Linux layer
// renders the same reduction under QUAVEL_D3D11_WIDE_TRIG=turns.
#pragma once

#include <string>

namespace shaderpack {

// Overloads for float to float4 and `#define sin` / `#define cos` naming them.
const std::string& wideTrigPrelude();

} // namespace shaderpack
