#include "app/playhead.h"

void Playhead::advanceTo(float time) {
    if (held_ && lastFrameDrawn_ && time == previousTime_) {
        picture_.redrawLast();
        return;
    }
    picture_.draw(time, frame_, time - previousTime_);
    ++frame_;
    previousTime_ = time;
    lastFrameDrawn_ = true;
}

bool Playhead::standsOnGrid() const {
    if (historyChanged_)
        return false;
    // Not drawn yet: the state is that after grid frame m - 1. Drawn (and drawn again while
    // held, which leaves the state as it was): after frame m, if it was drawn at m's grid time.
    const std::int64_t m = gridFrame_;
    if (!lastFrameDrawn_)
        return frame_ == m;
    return frame_ == m + 1 && previousTime_ == gridTime(m, gridFps_);
}

void Playhead::seekToGridFrame(std::int64_t n) {
    // The same frames from the same state: a forward seek from the grid goes on from there.
    std::int64_t from = frame_;
    if (!standsOnGrid() || from > n) {
        picture_.restart();
        from = 0;
    }
    for (std::int64_t k = from; k < n; ++k)
        picture_.advanceState(gridTime(k, gridFps_), static_cast<std::uint32_t>(k),
                              gridElapsed(k, gridFps_));
    frame_ = static_cast<std::uint32_t>(n);
    previousTime_ = n > 0 ? gridTime(n - 1, gridFps_) : 0.0f;
    lastFrameDrawn_ = false;
    historyChanged_ = false;
    gridFrame_ = n;
}
