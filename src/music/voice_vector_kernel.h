// Steady voices eight frames at a time with AVX2 where the CPU has it. With fixed-point
// positions the position of frame j of an event-free run is exactly p + j x step (in a
// forward loop, that sum wrapped into the loop), so a block's eight positions are computed side
// by side and read at once per voice (a gather, a load of neighbouring values, or a lookup in
// registers holding a short loop), with results identical to stepping frame by frame.
#pragma once

#include <cstdint>

#include "music/module_player.h"
#include "music/voice_group.h"

// True when this machine can run the vector kernel. Builds with QUAVEL_NO_AVX2 defined never
// do (nor apply the gain with AVX2), and builds with QUAVEL_NO_SSE2 mix the steady groups
// without SSE2: both test the portable paths on machines that have those instructions.
bool vectorKernelAvailable();

// Adds frames [0, 8 x blocks) of `count` steady voices (in channel order, at most four) to the
// left/right pairs at out, stored as `store` says, and moves the voices on. Each voice either
// wraps in its forward loop (wraps[k], which needs its position inside the loop) or meets no
// loop point, turn or end within the frames. Only callable when vectorKernelAvailable().
void mixVectorBlocks(PlayerChannel* const* voices, const bool* wraps, int count, float* out,
                     uint32_t blocks, GroupStore store);
