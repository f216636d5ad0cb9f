// Direct3D gives sin and cos an absolute error of at most 0.0008 within ±100π and defines
// nothing beyond: there every GPU answers in its own way (how it reduces the argument to one
// turn decides the result). To find the parts of a picture that hang on such arguments, the
// layer can evaluate them another way while leaving every argument within ±100π to OpenGL's
// sin and cos, unchanged. QUAVEL_D3D11_WIDE_TRIG chooses how, for every shader created:
//
//   turns   the argument is reduced in turns, 2π·fract(x / 2π) in single precision, as sine
//           units that work in revolutions do
//   exact   the argument is reduced in double precision, as a careful library does
//
// Unset (or empty) leaves every shader as the block has it. Another value is refused once on
// stderr and ignored.
#pragma once

#include <string>

namespace quavel::d3d11 {

enum class WideTrig { Native, Turns, Exact };

// The choice of QUAVEL_D3D11_WIDE_TRIG, read once.
WideTrig wideTrigFromEnvironment();

// The GLSL text with sin and cos replaced by functions that reduce arguments beyond ±100π as
// `how` says (the text itself when `how` is Native). The functions go after the #version and
// #extension lines.
std::string withWideTrig(const std::string& glsl, WideTrig how);

} // namespace quavel::d3d11
