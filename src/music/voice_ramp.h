// A voice frame by frame while its note-start crossfade or its volume ramp runs: each frame's
// contribution is written (not added), then the volumes move one ramp step toward their
// targets. Stops where the voice is steady (ready for the steady kernels) or stops.
#pragma once

#include <cstdint>

#include "music/module_player.h"

// True when the voice can run in the steady kernels for `frames` frames: its crossfade is over,
// its volumes sit on their targets (and fold the sample scale exactly), and its ramp frame
// does not wrap within them.
bool voiceSteady(const PlayerChannel* channel, uint32_t frames);

// Writes the contributions (left, right interleaved) of an active voice from out[0] on until
// it is steady for `steadyFrames` frames, stops, or `frames` frames are done. Returns the
// frames written; *steadyNow tells whether the voice goes on steadily there.
uint32_t mixChangingFrames(PlayerChannel* channel, float rampStep, float* out, uint32_t frames,
                           uint32_t steadyFrames, bool* steadyNow);
