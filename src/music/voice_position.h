// Reading a voice's sample and stepping its position through the three loop types. Shared by
// nextVoiceSample and the mixer's fast loops so that both move voices identically. Positions
// and steps are 32.32 fixed point (SamplePosition), so every step is exact.
#pragma once

#include "music/module_player.h"

// Sample index of a position (0 or more); a position that ends exactly on the sample's end (a
// ping-pong turn at the last frame) reads the last frame.
inline uint32_t voiceReadIndex(SamplePosition position, uint32_t length) {
    const uint64_t index = static_cast<uint64_t>(position) >> kPositionFractionBits;
    return index < length ? static_cast<uint32_t>(index) : length - 1;
}

template <typename Value>
inline float voiceValueAt(const ModuleSample* sample, SamplePosition position) {
    constexpr float scale = sizeof(Value) == 1 ? 1.0f / 128.0f : 1.0f / 32768.0f;
    const Value* data = static_cast<const Value*>(sample->data);
    return static_cast<float>(data[voiceReadIndex(position, sample->length)]) * scale;
}

inline float voiceValue(const ModuleSample* sample, SamplePosition position) {
    return sample->bits == 16 ? voiceValueAt<int16_t>(sample, position)
                              : voiceValueAt<int8_t>(sample, position);
}

// Wraps a position that has reached the loop end back into the loop: the same as subtracting
// the loop length until it lies below the loop end, in one division. (A 16-bit sample's halved
// loop length may fall a frame short of end - start; the wrap then lands in
// [loopEnd - loopLength, loopEnd), as the subtractions do.) A loop of length 0 holds the loop
// start.
inline SamplePosition wrapForwardLoop(SamplePosition position, const ModuleSample* sample) {
    if (sample->loopLength == 0) {
        return framePosition(sample->loopStart);
    }
    const SamplePosition loopEnd = framePosition(sample->loopEnd);
    const SamplePosition loopLength = framePosition(sample->loopLength);
    return loopEnd - loopLength + (position - loopEnd) % loopLength;
}

// One step of a position held anywhere (the channel, or a loop's locals), for each loop type.
inline void stepNoLoop(SamplePosition& position, SamplePosition step, const ModuleSample* sample) {
    position += step;
    if (position >= framePosition(sample->length)) {
        position = kVoiceStopped;
    }
}

inline void stepForwardLoop(SamplePosition& position, SamplePosition step,
                            const ModuleSample* sample) {
    position += step;
    if (position >= framePosition(sample->loopEnd)) {
        position = wrapForwardLoop(position, sample);
    }
}

inline void stepPingPongLoop(SamplePosition& position, uint8_t& forward, SamplePosition step,
                             const ModuleSample* sample) {
    if (forward) {
        position += step;
        const SamplePosition loopEnd = framePosition(sample->loopEnd);
        if (position >= loopEnd) {
            forward = 0;
            position = 2 * loopEnd - position;
        }
        return;
    }
    position -= step;
    const SamplePosition loopStart = framePosition(sample->loopStart);
    if (position <= loopStart) {
        forward = 1;
        position = 2 * loopStart - position;
    }
    if (position <= 0) {
        forward = 1;
        position = 0;
    }
}

// One step for a loop type fixed at compile time (the kernels are instantiated per type).
template <LoopType Loop>
[[gnu::always_inline]] inline void stepForLoop(SamplePosition& position, uint8_t& forward,
                                               SamplePosition step, const ModuleSample* sample) {
    if (Loop == ForwardLoop) {
        stepForwardLoop(position, step, sample);
    } else if (Loop == PingPongLoop) {
        stepPingPongLoop(position, forward, step, sample);
    } else {
        stepNoLoop(position, step, sample);
    }
}

inline void advanceVoice(PlayerChannel* channel, const ModuleSample* sample) {
    switch (sample->loopType) {
    case ForwardLoop:
        stepForwardLoop(channel->position, channel->step, sample);
        break;
    case PingPongLoop:
        stepPingPongLoop(channel->position, channel->pingForward, channel->step, sample);
        break;
    default:
        stepNoLoop(channel->position, channel->step, sample);
        break;
    }
}

// Blend of the old voice's continuation into the new note over the first 32 frames.
inline float crossfade(const PlayerChannel* channel, float value) {
    const float tail = channel->rampBuffer[channel->rampFrame];
    return tail + (value - tail) * static_cast<float>(channel->rampFrame) / 32.0f;
}
