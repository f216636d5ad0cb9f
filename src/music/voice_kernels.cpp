#include "music/voice_kernels.h"

#include <array>

#include "music/voice_position.h"

namespace {

// A voice's state held in locals for the length of a run.
template <typename Value, LoopType Loop> struct Stepper {
    static constexpr float kScale = sizeof(Value) == 1 ? 1.0f / 128.0f : 1.0f / 32768.0f;

    const ModuleSample* sample;
    const Value* data;
    uint32_t last;
    SamplePosition length;
    SamplePosition loopStart;
    SamplePosition loopEnd;
    float left;
    float right;
    SamplePosition step;
    SamplePosition position;
    uint8_t forward;

    explicit Stepper(const PlayerChannel* c)
        : sample(c->sample), data(static_cast<const Value*>(c->sample->data)),
          last(c->sample->length - 1), length(framePosition(c->sample->length)),
          loopStart(framePosition(c->sample->loopStart)),
          loopEnd(framePosition(c->sample->loopEnd)), left(c->actualVolume[0] * kScale),
          right(c->actualVolume[1] * kScale), step(c->step), position(c->position),
          forward(c->pingForward) {}

    void store(PlayerChannel* c, uint32_t frames) const {
        c->position = position;
        c->pingForward = forward;
        c->rampFrame += frames;
    }

    // Writes the contribution of the value at `index`.
    [[gnu::always_inline]] void emit(float* out, uint32_t index) const {
        // (d / 128) x volume rounds the same real number as d x (volume / 128): the scale is a
        // power of two and steadyVolumesFold() keeps volume / 128 exact.
        const float value = static_cast<float>(data[index]);
        out[0] = value * left;
        out[1] = value * right;
    }

    // Four frames at once when none of them reaches a loop point or the end: the positions
    // only grow (or, in a ping-pong loop's backward run, only shrink), so checking the fourth
    // covers them all. Returns false, having done nothing, when a turn, wrap or end falls
    // inside, or when a read would fall outside the sample; frame() then takes the frame with
    // its clamped read.
    [[gnu::always_inline]] bool frames4(float* out) {
        const bool backward = Loop == PingPongLoop && !forward;
        const SamplePosition s = backward ? -step : step;
        const SamplePosition p0 = position;
        const SamplePosition p4 = p0 + 4 * s;
        if (backward) {
            // A backward run reads p0 first and then only lower positions, all above the loop
            // start: inside the sample exactly when p0 is (a turn on the last frame starts on
            // the sample's end).
            if (p4 <= loopStart || p4 <= 0 || p0 >= length) {
                return false;
            }
        } else if (p4 >= (Loop == NoLoop ? length : loopEnd)) {
            // Forward the reads lie below p4, and the loop end is never past the sample's end.
            return false;
        }
        emit(out, positionFrame(p0));
        emit(out + 2, positionFrame(p0 + s));
        emit(out + 4, positionFrame(p0 + 2 * s));
        emit(out + 6, positionFrame(p0 + 3 * s));
        position = p4;
        return true;
    }

    // One frame: writes its contribution and advances; false once the voice has stopped.
    [[gnu::always_inline]] bool frame(float* out) {
        const uint32_t index = position < length ? positionFrame(position) : last;
        emit(out, index < last ? index : last);
        stepForLoop<Loop>(position, forward, step, sample);
        return position >= 0;
    }
};

template <typename S> uint32_t runSingle(S& s, float* out, uint32_t from, uint32_t to) {
    uint32_t f = from;
    while (f < to) {
        if (f + 4 <= to && s.frames4(out + 2 * f)) {
            f += 4;
            continue;
        }
        const bool alive = s.frame(out + 2 * f);
        ++f;
        if (!alive) {
            break;
        }
    }
    return f;
}

template <typename Value, LoopType Loop>
uint32_t steadyVoice(PlayerChannel* c, float* out, uint32_t from, uint32_t to) {
    Stepper<Value, Loop> s(c);
    const uint32_t end = runSingle(s, out, from, to);
    s.store(c, end - from);
    return end;
}

using SingleKernel = uint32_t (*)(PlayerChannel*, float*, uint32_t, uint32_t);

} // namespace

bool volumesFold(const float* volumes) {
    // Volumes this small would lose bits when divided by 32768 (they are far below hearing).
    constexpr float kSmallest = 1e-30f;
    for (int k = 0; k < 2; ++k) {
        const float v = volumes[k];
        if (v != 0.0f && !(v >= kSmallest || v <= -kSmallest)) {
            return false;
        }
    }
    return true;
}

bool steadyVolumesFold(const PlayerChannel* channel) {
    return volumesFold(channel->actualVolume);
}

namespace {

// Kernel index of a voice: 8- or 16-bit data times the three loop types.
int kind(const PlayerChannel* c) {
    const int loop = c->sample->loopType == ForwardLoop    ? 1
                     : c->sample->loopType == PingPongLoop ? 2
                                                           : 0;
    return (c->sample->bits == 16 ? 3 : 0) + loop;
}

const std::array<SingleKernel, 6> kSingleKernels = {
    steadyVoice<int8_t, NoLoop>,       steadyVoice<int8_t, ForwardLoop>,
    steadyVoice<int8_t, PingPongLoop>, steadyVoice<int16_t, NoLoop>,
    steadyVoice<int16_t, ForwardLoop>, steadyVoice<int16_t, PingPongLoop>};

} // namespace

uint32_t runSteadyVoice(PlayerChannel* channel, float* out, uint32_t from, uint32_t to) {
    return kSingleKernels[kind(channel)](channel, out, from, to);
}
