// A device with no sound card behind it: it plays nothing audible but consumes its queue at
// the format's byte rate by the monotonic clock, so a position-timed program keeps its pace.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>

#include "platform/linux/waveout/wave_device.h"
#include "platform/linux/waveout/wave_queue.h"

namespace quavel::waveout {

class SilentWaveDevice final : public WaveDevice {
public:
    using Clock = std::function<std::chrono::nanoseconds()>;

    // `clock` reads a monotonic time; the default is std::chrono::steady_clock.
    SilentWaveDevice(std::uint32_t bytesPerSecond, std::uint32_t blockAlign, Clock clock = {});

    void write(WAVEHDR* header) override;
    void pause() override;
    void restart() override;
    void reset() override;
    std::uint64_t bytesPlayed() override;
    bool hasQueuedHeaders() override;

private:
    // Plays what the clock says is due since the anchor; restarts the anchor while idle.
    void advance();
    std::uint64_t bytesDueAfter(std::chrono::nanoseconds elapsed) const;

    const std::uint32_t bytesPerSecond_;
    const std::uint32_t blockAlign_;
    const Clock clock_;
    std::mutex mutex_;
    WaveQueue queue_;
    bool paused_ = false;
    std::chrono::nanoseconds anchor_{0};
    std::uint64_t accountedSinceAnchor_ = 0;
    std::uint64_t position_ = 0;
};

} // namespace quavel::waveout
