// Where the frame loop stands between frames: the counter the next new frame carries and the
// time of the frame before it (its elapsed time is measured from there). A seek moves the
// cursor onto the frame grid; `hold` asks for a still picture while the clock stands.
#pragma once

#include <cstdint>

struct FrameCursor {
    std::uint32_t frame = 0;
    float previousTime = 0.0f;
    // While set, a frame whose clock reads the time of the last one draws that frame again
    // from the state it started from instead of advancing the picture.
    bool hold = false;
    // The last frame drawn is the one before `frame` (false after a seek until a frame is
    // drawn, so the first frame there is a new one).
    bool lastFrameDrawn = false;
};
