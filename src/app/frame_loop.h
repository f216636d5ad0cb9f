// The frame loop: message pump, Escape, the first audio write, the clock, the end of the show,
// one rendered and presented frame, until a quit request or 368 s.
#pragma once

#include <cstdint>
#include <functional>

#include "app/demo_app.h"

struct FrameLoopResult {
    std::uint32_t framesRendered;
    float lastTime; // the clock value that ended the loop or of the last frame
};

// `bytesPlayed` reads the audio clock (the device's play position in bytes); tests pass a
// fake one. `betweenFrames`, when given, runs after the message pump of every pass (the sync
// editor's commands are read there).
FrameLoopResult runFrameLoop(DemoApp& app,
                             const std::function<std::uint32_t(const DemoApp&)>& bytesPlayed,
                             const std::function<void()>& betweenFrames = {});
