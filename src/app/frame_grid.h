// The one frame grid of every capture: at F frames per second, grid frame n is at show time
// n / F (rounded once to single precision), carries frame counter n, and its elapsed time is
// the step from grid frame n - 1 (frame 0: its own time, 0). A capture of any range, in any
// process, uses these numbers, so its frames are those of a continuous run from 0.
#pragma once

#include <cstdint>

struct FrameRange {
    std::int64_t first = 0; // grid index of the first frame
    std::int64_t count = 0;
    std::int64_t end() const { return first + count; }
};

float gridTime(std::int64_t frame, double fps);
float gridElapsed(std::int64_t frame, double fps);

// The first grid frame at or after `seconds`. A start that lies on the grid up to rounding of
// the decimal input (150.0 at 60 fps is frame 9000, 22.4 at 1.25 fps frame 28) is that frame.
std::int64_t firstGridFrameAtOrAfter(double seconds, double fps);

// Grid frames before the show's end (their time is below `showSeconds`).
std::int64_t gridFramesBefore(double showSeconds, double fps);

// Part k (1-based) of n near-equal consecutive pieces of `whole`: the first whole.count % n
// parts get one frame more. The parts tile `whole` without gap or overlap.
FrameRange partOf(FrameRange whole, int k, int n);
