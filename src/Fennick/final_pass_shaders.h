// The compiled programs of the engine's final copy pass, linked into the executable.
#pragma once

#include <cstdint>

namespace Fennick::gfx {

struct ShaderBytecode {
    const void* code;
    uint32_t size;
};

// vsFullscreenFlipY: the full-screen triangle whose v grows upwards.
ShaderBytecode finalPassVertexShader();
// psCopy: input t0 point-sampled through s3.
ShaderBytecode finalPassPixelShader();

} // namespace Fennick::gfx
