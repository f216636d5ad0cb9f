#include "app/frame_grid.h"

#include <cmath>

namespace {

// A millionth of a frame: far below one grid step, far above the rounding of a decimal start.
constexpr double kOnGrid = 1e-6;

} // namespace

float gridTime(std::int64_t frame, double fps) {
    return static_cast<float>(static_cast<double>(frame) / fps);
}

float gridElapsed(std::int64_t frame, double fps) {
    const float previous = frame > 0 ? gridTime(frame - 1, fps) : 0.0f;
    return gridTime(frame, fps) - previous;
}

std::int64_t firstGridFrameAtOrAfter(double seconds, double fps) {
    const double n = std::ceil(seconds * fps - kOnGrid);
    return n > 0.0 ? static_cast<std::int64_t>(n) : 0;
}

std::int64_t gridFramesBefore(double showSeconds, double fps) {
    std::int64_t n = firstGridFrameAtOrAfter(showSeconds, fps);
    // The single-precision time decides, as it does for the frame loop's end test.
    while (n > 0 && gridTime(n - 1, fps) >= static_cast<float>(showSeconds))
        --n;
    while (gridTime(n, fps) < static_cast<float>(showSeconds))
        ++n;
    return n;
}

FrameRange partOf(FrameRange whole, int k, int n) {
    const std::int64_t base = whole.count / n, extra = whole.count % n;
    const std::int64_t before = (k - 1) * base + (k - 1 < extra ? k - 1 : extra);
    return {whole.first + before, base + (k - 1 < extra ? 1 : 0)};
}
