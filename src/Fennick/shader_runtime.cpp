#include "Fennick/shader_runtime.h"

namespace Fennick::gfx {

bool ShaderRuntime::setDesc(const ShaderDesc& description) {
    desc = description;
    return create();
}

} // namespace Fennick::gfx
