// The frame loop: message pump, Escape, the first audio write, the clock, the end of the show,
// one rendered and presented frame, until a quit request, 368 s or the loss of the device.
//
// While it runs, the display is kept on (no screen saver, no display sleep over six minutes
// without input). Escape counts only while the show's window is the foreground window, and a
// press from before the first frame (the key that closed a notice) is forgotten. A window that
// cannot be seen (minimised, the screen locked: Present says DXGI_STATUS_OCCLUDED) is not
// drawn; the loop then polls with DXGI_PRESENT_TEST every kOccludedPollMs while the clock and
// the music go on. A removed or reset device ends the loop with `deviceLost` saying why.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/demo_app.h"
#include "app/playhead.h"

struct FrameLoopResult {
    std::uint32_t framesRendered;
    float lastTime;         // the clock value that ended the loop or of the last frame
    std::string deviceLost; // not empty: Present failed for good, and this says why
};

struct FrameLoopHooks {
    // After the message pump of every pass (the sync editor's commands are read there; they
    // may move the playhead).
    std::function<void()> betweenFrames;
    // After a frame is drawn, before it is presented; `frame` is the counter it was drawn with.
    std::function<void(std::uint32_t frame)> drawn;
};

// The clock in seconds: the sound card's (showClock, show.h), the system's when there is no
// sound card (SilentClock, silent_clock.h), or a test's fake one.
using ShowClock = std::function<float(const DemoApp&)>;

// A hidden window is asked again this often (ms).
constexpr unsigned kOccludedPollMs = 20;

// Each frame goes through `playhead`, which keeps the frame counter and the previous time.
FrameLoopResult runFrameLoop(DemoApp& app, Playhead& playhead, const ShowClock& clock,
                             const FrameLoopHooks& hooks = {});

// The message for a Present that failed with `presentResult` on `device`: the result and
// GetDeviceRemovedReason's, at `time` seconds into the show.
std::string deviceLostText(HRESULT presentResult, ID3D11Device* device, float time);
