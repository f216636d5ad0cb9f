#include "platform/linux/d3d11/present_pacer.h"

#include <thread>

namespace quavel::d3d11 {

PresentPacer::PresentPacer(int refreshHz)
    : period_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::nanoseconds(1000000000 / (refreshHz > 0 ? refreshHz : 60)))) {}

void PresentPacer::waitForVerticalBlanks(unsigned intervals) {
    const Clock::time_point now = Clock::now();
    if (intervals == 0) {
        scheduled_ = false;
        return;
    }
    if (!scheduled_) {
        lastBlank_ = now;
        scheduled_ = true;
        return;
    }
    const Clock::time_point due = lastBlank_ + period_ * intervals;
    if (now < due) {
        std::this_thread::sleep_until(due);
        lastBlank_ = due;
    } else {
        // Late by less than a period: the next blank keeps the schedule, so the rate stays
        // the refresh rate; later than that, the missed blanks are not made up.
        lastBlank_ = now - due < period_ ? due : now;
    }
}

} // namespace quavel::d3d11
