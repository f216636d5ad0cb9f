#include "Fennick/draw_pass_runtime.h"

#include <utility>

namespace Fennick::gfx {

bool DrawPassRuntime::create(DrawPassDesc description) {
    desc = std::move(description);
    desc.shader.stageKind = Graphics;
    return program.setDesc(desc.shader);
}

} // namespace Fennick::gfx
