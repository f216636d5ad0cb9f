// Where the listener is in the bytes an audio callback has taken. A callback takes a whole
// block at once, but the card plays it out at the byte rate after the blocks already queued
// in front of it; so the position heard is interpolated from the monotonic clock within the
// block last taken, less the latency of the device's queue, and never runs ahead of what has
// been taken (a program refilling a ring behind the position never overwrites bytes that
// are still to be copied).
//
//   HeardPosition clock(352800, 8, 4096);
//   clock.blockTaken(now, 4096, 4096);  // in the callback: block length, audio bytes in it
//   clock.heard(now);                   // from any thread: bytes heard, monotonic
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace quavel::waveout {

class HeardPosition {
public:
    HeardPosition(std::uint32_t bytesPerSecond, std::uint32_t blockAlign,
                  std::uint64_t latencyBytes);
    // For a device that learns its queue's length only once it is open.
    void setLatency(std::uint64_t latencyBytes);

    // The callback took `blockBytes` at `now`, of which the first `audioBytes` came from the
    // queued headers and the rest was silence.
    void blockTaken(std::chrono::nanoseconds now, std::uint64_t blockBytes,
                    std::uint64_t audioBytes);
    // Audio bytes heard by `now`; never less than a previous answer since the last reset.
    std::uint64_t heard(std::chrono::nanoseconds now);
    // Audio bytes taken so far: the most `heard` can ever say.
    std::uint64_t taken();
    // Counting restarts at 0 with the next block.
    void reset();

private:
    struct Block {
        std::uint64_t streamStart; // bytes the callback had taken before it, silence included
        std::uint64_t audioStart;  // audio bytes taken before it
        std::uint64_t audioBytes;
    };
    // The audio count at a point of the stream the callbacks have taken.
    std::uint64_t audioAt(std::uint64_t streamPosition) const;

    const std::uint32_t bytesPerSecond_;
    const std::uint32_t blockAlign_;
    std::uint64_t latencyBytes_;
    std::mutex mutex_;
    // The blocks that may still be in the device's queue, newest at `newest_`.
    std::array<Block, 16> recent_{};
    std::size_t count_ = 0;
    std::size_t newest_ = 0;
    std::uint64_t streamTaken_ = 0;
    std::uint64_t audioTaken_ = 0;
    std::chrono::nanoseconds newestTakenAt_{0};
    std::uint64_t lastAnswer_ = 0;
};

} // namespace quavel::waveout
