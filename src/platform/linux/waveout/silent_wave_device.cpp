#include "platform/linux/waveout/silent_wave_device.h"

namespace quavel::waveout {

namespace {

std::chrono::nanoseconds steadyNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace

SilentWaveDevice::SilentWaveDevice(std::uint32_t bytesPerSecond, std::uint32_t blockAlign,
                                   Clock clock)
    : bytesPerSecond_(bytesPerSecond), blockAlign_(blockAlign == 0 ? 1 : blockAlign),
      clock_(clock ? std::move(clock) : Clock(steadyNow)) {
    anchor_ = clock_();
}

std::uint64_t SilentWaveDevice::bytesDueAfter(std::chrono::nanoseconds elapsed) const {
    if (elapsed.count() <= 0)
        return 0;
    // Whole seconds and the remainder apart, so hours of playing cannot overflow.
    constexpr std::uint64_t kNanosPerSecond = 1000000000;
    const auto nanos = static_cast<std::uint64_t>(elapsed.count());
    const std::uint64_t bytes = (nanos / kNanosPerSecond) * bytesPerSecond_ +
                                (nanos % kNanosPerSecond) * bytesPerSecond_ / kNanosPerSecond;
    return bytes - bytes % blockAlign_;
}

void SilentWaveDevice::advance() {
    const std::chrono::nanoseconds now = clock_();
    if (paused_ || queue_.empty()) {
        anchor_ = now;
        accountedSinceAnchor_ = 0;
        return;
    }
    const std::uint64_t due = bytesDueAfter(now - anchor_);
    if (due > accountedSinceAnchor_) {
        position_ += queue_.play(due - accountedSinceAnchor_, nullptr);
        accountedSinceAnchor_ = due;
    }
}

void SilentWaveDevice::write(WAVEHDR* header) {
    std::lock_guard<std::mutex> lock(mutex_);
    advance();
    queue_.append(header);
}

void SilentWaveDevice::pause() {
    std::lock_guard<std::mutex> lock(mutex_);
    advance();
    paused_ = true;
}

void SilentWaveDevice::restart() {
    std::lock_guard<std::mutex> lock(mutex_);
    advance(); // while paused this only moves the anchor: the pause is not owed
    paused_ = false;
}

void SilentWaveDevice::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    position_ = 0;
    advance();
}

std::uint64_t SilentWaveDevice::bytesPlayed() {
    std::lock_guard<std::mutex> lock(mutex_);
    advance();
    return position_;
}

bool SilentWaveDevice::hasQueuedHeaders() {
    std::lock_guard<std::mutex> lock(mutex_);
    advance();
    return !queue_.empty();
}

} // namespace quavel::waveout
