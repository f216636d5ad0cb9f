#include "Fennick/final_pass_shaders.h"

#include "engine_shaders.h"
#include "platform/shader_code.h"

namespace Fennick::gfx {

ShaderBytecode finalPassVertexShader() {
    const ShaderCode code = shaderBytecode(engineVsFullscreenFlipY, engineVsFullscreenFlipY_size);
    return {code.code, code.size};
}

ShaderBytecode finalPassPixelShader() {
    const ShaderCode code = shaderBytecode(enginePsCopy, enginePsCopy_size);
    return {code.code, code.size};
}

} // namespace Fennick::gfx
