// Thread-group counts of a compute dispatch.
#pragma once

#include <cstdint>

namespace Fennick::gfx {

// Every engine compute program runs groups of 8 threads along each axis.
constexpr uint32_t kThreadsPerGroupAxis = 8;

// Groups needed to cover `threads` along one axis. A zero count still dispatches one group,
// so a pass given (1, 1, 0) runs once instead of not at all.
inline uint32_t dispatchGroupCount(uint32_t threads) {
    const uint32_t groups =
        threads / kThreadsPerGroupAxis + (threads % kThreadsPerGroupAxis != 0 ? 1u : 0u);
    return groups == 0 ? 1u : groups;
}

} // namespace Fennick::gfx
