// The engine tests' own compiled programs (tests/Fennick/shaders), and the engine's final-pass
// programs, as byte blocks for pass descriptions.
#pragma once

#include "Fennick/final_pass_shaders.h"
#include "Fennick/shader_runtime.h"

namespace engine_test {

using Fennick::gfx::ShaderBytecode;

ShaderBytecode csPingPong();
ShaderBytecode csGroupCount();
ShaderBytecode csCountRuns();
ShaderBytecode csContextProbe();
ShaderBytecode csCounterState();
ShaderBytecode csFillTexture();
ShaderBytecode psParamColour();
ShaderBytecode psPattern();
ShaderBytecode psScaledCopy();
ShaderBytecode psSixSamplers();

// A shader description with the given programs.
Fennick::gfx::ShaderDesc graphicsShader(ShaderBytecode vertex, ShaderBytecode pixel);
Fennick::gfx::ShaderDesc computeShader(ShaderBytecode kernel);

} // namespace engine_test
