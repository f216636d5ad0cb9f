// Tight loops for voices whose crossfade is over and whose volumes have reached their
// targets. Such a voice's contribution to a frame is value x left and value x right with
// constant volumes; the loops move positions exactly as advanceVoice does.
#pragma once

#include <cstdint>

#include "music/module_player.h"

// True when the channel's volumes can run in the steady kernels: they fold the sample scale
// into the volumes, which is exact unless a volume is vanishingly small.
bool steadyVolumesFold(const PlayerChannel* channel);
// The same test for a left and right volume pair.
bool volumesFold(const float* volumes);

// Writes the contributions (left, right interleaved) of frames [from, to) of one steady voice
// to out[2 * from ...]; stops after the frame at which the voice ends. Returns the frame after
// the last one written.
uint32_t runSteadyVoice(PlayerChannel* channel, float* out, uint32_t from, uint32_t to);
