#include "Fennick/compute_pass_runtime.h"

#include <utility>

namespace Fennick::gfx {

bool ComputePassRuntime::create(ComputePassDesc description) {
    desc = std::move(description);
    desc.shader.stageKind = Compute;
    return program.setDesc(desc.shader);
}

} // namespace Fennick::gfx
