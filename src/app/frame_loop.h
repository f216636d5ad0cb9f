// The frame loop: message pump, Escape, the first audio write, the clock, the end of the show,
// one rendered and presented frame, until a quit request or 368 s.
#pragma once

#include <cstdint>
#include <functional>

#include "app/demo_app.h"
#include "app/playhead.h"

struct FrameLoopResult {
    std::uint32_t framesRendered;
    float lastTime; // the clock value that ended the loop or of the last frame
};

struct FrameLoopHooks {
    // After the message pump of every pass (the sync editor's commands are read there; they
    // may move the playhead).
    std::function<void()> betweenFrames;
    // After a frame is drawn, before it is presented; `frame` is the counter it was drawn with.
    std::function<void(std::uint32_t frame)> drawn;
};

// The clock in seconds: the sound card's (showClock, show.h), or a test's fake one.
using ShowClock = std::function<float(const DemoApp&)>;

// Each frame goes through `playhead`, which keeps the frame counter and the previous time.
FrameLoopResult runFrameLoop(DemoApp& app, Playhead& playhead, const ShowClock& clock,
                             const FrameLoopHooks& hooks = {});
