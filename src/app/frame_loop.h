// The frame loop: message pump, Escape, the first audio write, the clock, the end of the show,
// one rendered and presented frame, until a quit request or 368 s.
#pragma once

#include <cstdint>
#include <functional>

#include "app/demo_app.h"
#include "app/frame_cursor.h"

struct FrameLoopResult {
    std::uint32_t framesRendered;
    float lastTime; // the clock value that ended the loop or of the last frame
};

struct FrameLoopHooks {
    // After the message pump of every pass (the sync editor's commands are read there); may
    // move the cursor (a seek) or hold it.
    std::function<void(FrameCursor&)> betweenFrames;
    // After a frame is drawn, before it is presented; `frame` is the counter it was drawn with.
    std::function<void(std::uint32_t frame)> drawn;
};

// `bytesPlayed` reads the audio clock (the device's play position in bytes); tests pass a
// fake one.
FrameLoopResult runFrameLoop(DemoApp& app,
                             const std::function<std::uint32_t(const DemoApp&)>& bytesPlayed,
                             const FrameLoopHooks& hooks = {});
