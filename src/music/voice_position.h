// Reading a voice's sample and stepping its position through the three loop types. Shared by
// nextVoiceSample and the mixer's fast loops so that both move voices identically.
#pragma once

#include <cmath>

#include "music/module_player.h"

// Sample index of a position; a position that ends exactly on the sample's end (a ping-pong
// turn at the last frame) reads the last frame.
inline uint32_t voiceReadIndex(float position, uint32_t length) {
    uint32_t index =
        position < static_cast<float>(length) ? static_cast<uint32_t>(position) : length - 1;
    return index < length ? index : length - 1;
}

template <typename Value> inline float voiceValueAt(const ModuleSample* sample, float position) {
    constexpr float scale = sizeof(Value) == 1 ? 1.0f / 128.0f : 1.0f / 32768.0f;
    const Value* data = static_cast<const Value*>(sample->data);
    return static_cast<float>(data[voiceReadIndex(position, sample->length)]) * scale;
}

inline float voiceValue(const ModuleSample* sample, float position) {
    return sample->bits == 16 ? voiceValueAt<int16_t>(sample, position)
                              : voiceValueAt<int8_t>(sample, position);
}

// Wraps a position that has reached the loop end back into the loop. A few subtractions
// cover every normal step; a far overshoot (an extreme step) is folded in one go, and a loop
// of length 0 holds the loop start, so the wrap never spins.
inline float wrapForwardLoop(float position, const ModuleSample* sample) {
    if (sample->loopLength == 0) {
        return static_cast<float>(sample->loopStart);
    }
    const float loopEnd = static_cast<float>(sample->loopEnd);
    const float loopLength = static_cast<float>(sample->loopLength);
    for (int i = 0; i < 8 && position >= loopEnd; ++i) {
        position -= loopLength;
    }
    if (position >= loopEnd) {
        const float loopStart = static_cast<float>(sample->loopStart);
        position = loopStart + std::fmod(position - loopStart, loopLength);
    }
    return position;
}

// One step of a position held anywhere (the channel, or a loop's locals), for each loop type.
inline void stepNoLoop(float& position, float step, const ModuleSample* sample) {
    position += step;
    if (position >= static_cast<float>(sample->length)) {
        position = -1.0f;
    }
}

inline void stepForwardLoop(float& position, float step, const ModuleSample* sample) {
    position += step;
    if (position >= static_cast<float>(sample->loopEnd)) {
        position = wrapForwardLoop(position, sample);
    }
}

inline void stepPingPongLoop(float& position, uint8_t& forward, float step,
                             const ModuleSample* sample) {
    if (forward) {
        position += step;
        const float loopEnd = static_cast<float>(sample->loopEnd);
        if (position >= loopEnd) {
            forward = 0;
            position = 2.0f * loopEnd - position;
        }
        return;
    }
    position -= step;
    const float loopStart = static_cast<float>(sample->loopStart);
    if (position <= loopStart) {
        forward = 1;
        position = 2.0f * loopStart - position;
    }
    if (position <= 0.0f) {
        forward = 1;
        position = 0.0f;
    }
}

// One step for a loop type fixed at compile time (the kernels are instantiated per type).
template <LoopType Loop>
[[gnu::always_inline]] inline void stepForLoop(float& position, uint8_t& forward, float step,
                                               const ModuleSample* sample) {
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
