#include "music/audio_refill.h"

#include <algorithm>

void refillPlayedFrames(const AudioFrameRenderer& render, float* ring, std::uint32_t played,
                        std::uint32_t& framesRendered) {
    if (played <= framesRendered)
        return;
    std::uint32_t remaining = played - framesRendered;
    while (remaining > 0) {
        const std::uint32_t start = framesRendered % kAudioRingFrames;
        // Within the lap the device is playing now, slots up to its position are free; a
        // lap behind, the rest of the ring up to its end is.
        const bool sameLap = played / kAudioRingFrames == framesRendered / kAudioRingFrames;
        const std::uint32_t chunk =
            std::min(sameLap ? kAudioRingFrames : kAudioRingFrames - start, remaining);
        render(ring + 2 * start, chunk);
        framesRendered += chunk;
        remaining -= chunk;
    }
}

float audioSecondsFromBytes(std::uint32_t bytesPlayed) {
    return static_cast<float>(static_cast<double>(bytesPlayed / kAudioBytesPerFrame) /
                              static_cast<double>(kAudioSampleRate));
}
