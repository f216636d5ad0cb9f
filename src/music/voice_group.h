// Up to four steady voices of consecutive channels mixed together, frame by frame: each
// frame's sum is read once, receives the voices' contributions in channel order and is
// written once, and the voices' position updates (each a chain of dependent additions)
// overlap instead of waiting on one another.
#pragma once

#include <cstdint>

#include "music/module_player.h"

constexpr int kGroupVoices = 4;

// Adds the contributions of frames [0, frames) of `count` steady, active voices (in channel
// order, at most kGroupVoices) to the left/right pairs at out, and multiplies each sum by
// `gain` once all voices are in (the final gain when this group is the only one; 1 leaves the
// sums as they are). A voice that stops drops out; `voices` is reordered only by removing the
// stopped ones.
void mixSteadyGroup(PlayerChannel** voices, int count, float* out, uint32_t frames,
                    float gain = 1.0f);
