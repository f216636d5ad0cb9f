// Keeps presents with a sync interval to the display's refresh rate. A driver that honours
// the swap interval already blocks in the swap until the vertical blank, and then the pacer
// finds the time has come and does not wait; one that ignores it (Xvfb, some compositors)
// would let the frame loop run as fast as it can draw, and particle motion and per-frame
// flashes would run too fast.
//
//   PresentPacer pacer(refreshHz);
//   swapBuffers();
//   pacer.waitForVerticalBlanks(syncInterval);
#pragma once

#include <chrono>

namespace quavel::d3d11 {

class PresentPacer {
public:
    using Clock = std::chrono::steady_clock;

    // A rate of 0 (unknown) is taken as 60 Hz.
    explicit PresentPacer(int refreshHz);

    // Waits, by the monotonic clock, until `intervals` refresh periods have passed since the
    // previous present's blank; 0 does not wait and restarts the schedule.
    void waitForVerticalBlanks(unsigned intervals);

private:
    Clock::duration period_;
    Clock::time_point lastBlank_{};
    bool scheduled_ = false;
};

} // namespace quavel::d3d11
