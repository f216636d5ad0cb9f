// Tight loops for voices whose crossfade is over and whose volumes have reached their
// targets. Such a voice's contribution to a frame is value x left and value x right with
// constant volumes; the loops move positions exactly as advanceVoice does. Two voices run in
// one loop where possible, so that their position updates, each a chain of dependent
// additions, overlap.
#pragma once

#include <cstdint>

#include "music/module_player.h"

// True when the channel's volumes can run in the steady kernels: they fold the sample scale
// into the volumes, which is exact unless a volume is vanishingly small.
bool steadyVolumesFold(const PlayerChannel* channel);

// Writes the contributions (left, right interleaved) of frames [from, to) of one steady voice
// to out[2 * from ...], or with `add` adds them to what is there; stops after the frame at
// which the voice ends. Returns the frame after the last one written.
uint32_t runSteadyVoice(PlayerChannel* channel, float* out, uint32_t from, uint32_t to, bool add);

// The same for two steady voices over the same frames; *endA and *endB receive each voice's
// end frame. Adding into one buffer (outA == outB) adds a's contribution to each frame before
// b's.
void runSteadyVoicePair(PlayerChannel* a, float* outA, PlayerChannel* b, float* outB, uint32_t from,
                        uint32_t to, uint32_t* endA, uint32_t* endB, bool add);
