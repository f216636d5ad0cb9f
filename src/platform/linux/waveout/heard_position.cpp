#include "platform/linux/waveout/heard_position.h"

#include <algorithm>

namespace quavel::waveout {

HeardPosition::HeardPosition(std::uint32_t bytesPerSecond, std::uint32_t blockAlign,
                             std::uint64_t latencyBytes)
    : bytesPerSecond_(bytesPerSecond), blockAlign_(blockAlign == 0 ? 1 : blockAlign),
      latencyBytes_(latencyBytes) {}

void HeardPosition::setLatency(std::uint64_t latencyBytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    latencyBytes_ = latencyBytes;
}

void HeardPosition::blockTaken(std::chrono::nanoseconds now, std::uint64_t blockBytes,
                               std::uint64_t audioBytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    newest_ = (newest_ + 1) % recent_.size();
    recent_[newest_] = Block{streamTaken_, audioTaken_, std::min(audioBytes, blockBytes)};
    count_ = std::min(count_ + 1, recent_.size());
    streamTaken_ += blockBytes;
    audioTaken_ += recent_[newest_].audioBytes;
    newestTakenAt_ = now;
}

std::uint64_t HeardPosition::audioAt(std::uint64_t streamPosition) const {
    // Walk back from the newest block to the one the position falls in; older than all kept
    // blocks means before the first one still remembered.
    std::uint64_t audio = 0;
    for (std::size_t i = 0; i < count_; ++i) {
        const Block& block = recent_[(newest_ + recent_.size() - i) % recent_.size()];
        audio = block.audioStart;
        if (streamPosition >= block.streamStart)
            return block.audioStart +
                   std::min(streamPosition - block.streamStart, block.audioBytes);
    }
    return audio;
}

std::uint64_t HeardPosition::heard(std::chrono::nanoseconds now) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (count_ == 0)
        return lastAnswer_;
    const Block& newest = recent_[newest_];
    // The card is taken to start the newest block as the callback returns it and to play it
    // out at the byte rate; the block before it is then where the latency puts the listener.
    const auto sinceTaken = static_cast<std::uint64_t>(std::max<std::int64_t>(
        0, std::chrono::duration_cast<std::chrono::nanoseconds>(now - newestTakenAt_).count()));
    constexpr std::uint64_t kNanosPerSecond = 1000000000;
    const std::uint64_t due = (sinceTaken / kNanosPerSecond) * bytesPerSecond_ +
                              (sinceTaken % kNanosPerSecond) * bytesPerSecond_ / kNanosPerSecond;
    const std::uint64_t played = std::min(newest.streamStart + due, streamTaken_);
    const std::uint64_t atEar = played > latencyBytes_ ? played - latencyBytes_ : 0;
    std::uint64_t answer = audioAt(atEar);
    answer -= answer % blockAlign_;
    lastAnswer_ = std::max(lastAnswer_, answer);
    return lastAnswer_;
}

std::uint64_t HeardPosition::taken() {
    std::lock_guard<std::mutex> lock(mutex_);
    return audioTaken_;
}

void HeardPosition::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    count_ = 0;
    audioTaken_ = 0;
    lastAnswer_ = 0;
}

} // namespace quavel::waveout
