// The show's clock without a sound card: the performance counter, from the first frame.
//
//   SilentClock silent;
//   runFrameLoop(app, playhead, [&](const DemoApp&) { return silent.seconds(); });
//
// It keeps the sound card's rules: it reads 0 at its first reading (the first frame, when the
// music would start) and the show ends when it reaches 368 s.
#pragma once

#include <cstdint>

class SilentClock {
public:
    // Seconds since the first call, rounded to single precision as the sound card's clock is.
    float seconds();

private:
    std::int64_t start_ = 0;
    std::int64_t frequency_ = 0; // 0 until the first call
};
