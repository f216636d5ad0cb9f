// Steady voices stepped on the float grid of their position's binade. Between two powers of
// two every float is a whole multiple of one spacing u, so as long as a voice's position stays
// inside one such binade, each rounded addition of the step moves it by the same whole number
// of u (the step rounded to u), unless the step lies exactly half-way between two multiples.
// The positions are then plain integers, p = P x u, and eight frames of a voice can be read,
// converted and mixed at once with vector instructions, with results identical to the serial
// float additions.
#pragma once

#include <cstdint>

#include "music/module_player.h"
#include "music/voice_group.h"

// A voice's position as an integer multiple of its binade's spacing.
struct GridRun {
    int32_t position; // P: the position is P x unit
    int32_t delta;    // added per frame; negative in a ping-pong loop's backward run
    int32_t shift;    // sample index = P >> shift
    float unit;       // u, a power of two
    uint32_t frames;  // frames, at most the limit, over which the representation stays exact
};

// Describes a steady, active voice on its grid for at most `limit` frames; false when the
// voice cannot be put on a grid (position below 1 or from 2^23 on, a step that is negative,
// not finite or a tie at the spacing). The run also stops before any read would take the
// four bytes at an index past the sample's data.
bool gridRunOf(const PlayerChannel* channel, uint32_t limit, GridRun* run);

// True when this machine can run the vector kernel. Builds with QUAVEL_NO_AVX2 defined never
// do (nor apply the gain with AVX2), and builds with QUAVEL_NO_SSE2 mix the steady groups
// without SSE2: both test the portable paths on machines that have those instructions.
bool gridKernelAvailable();

// Adds frames [0, 8 x blocks) of `count` steady voices (in channel order, at most four) to
// the left/right pairs at out, each voice described by runs[k] (every run covering the
// frames), stored as `store` says, and moves the voices on. Only callable when
// gridKernelAvailable().
void mixOnGrid(PlayerChannel* const* voices, const GridRun* runs, int count, float* out,
               uint32_t blocks, GroupStore store);
