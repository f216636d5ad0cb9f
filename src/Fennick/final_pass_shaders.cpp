#include "Fennick/final_pass_shaders.h"

#include "engine_shaders.h"

namespace Fennick::gfx {

ShaderBytecode finalPassVertexShader() {
    return {engineVsFullscreenFlipY, engineVsFullscreenFlipY_size};
}

ShaderBytecode finalPassPixelShader() {
    return {enginePsCopy, enginePsCopy_size};
}

} // namespace Fennick::gfx
