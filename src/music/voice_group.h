// Up to four steady voices of consecutive channels mixed together, frame by frame: each
// frame's sum is read once, receives the voices' contributions in channel order and is
// written once, and the voices' position updates (each a chain of dependent additions)
// overlap instead of waiting on one another.
#pragma once

#include <cstdint>

#include "music/module_player.h"

constexpr int kGroupVoices = 4;

// How a group's sums reach the frames. They start from the frames' values, or from +0 where
// the group is the first (the frames then hold nothing yet), and are multiplied by the gain
// once all the group's voices are in (the final gain when the group is the last).
struct GroupStore {
    float gain = 1.0f;
    bool fresh = false;
};

// Stores `frames` frames at out that no voice of the group reaches: +0 where the group is the
// first, otherwise the frames as they are times the gain.
void storeUnreached(float* out, uint32_t frames, GroupStore store);

// Adds the contributions of frames [0, frames) of `count` steady, active voices (in channel
// order, at most kGroupVoices) to the left/right pairs at out, stored as `store` says (by
// default added to the frames as they are). A voice that stops drops out; `voices` is
// reordered only by removing the stopped ones.
void mixSteadyGroup(PlayerChannel** voices, int count, float* out, uint32_t frames,
                    GroupStore store = {});
