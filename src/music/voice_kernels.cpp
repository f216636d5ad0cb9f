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
    float length;
    float loopStart;
    float loopEnd;
    float left;
    float right;
    float step;
    float position;
    uint8_t forward;

    explicit Stepper(const PlayerChannel* c)
        : sample(c->sample), data(static_cast<const Value*>(c->sample->data)),
          last(c->sample->length - 1), length(static_cast<float>(c->sample->length)),
          loopStart(static_cast<float>(c->sample->loopStart)),
          loopEnd(static_cast<float>(c->sample->loopEnd)), left(c->actualVolume[0]),
          right(c->actualVolume[1]), step(c->step), position(c->position), forward(c->pingForward) {
    }

    void store(PlayerChannel* c, uint32_t frames) const {
        c->position = position;
        c->pingForward = forward;
        c->rampFrame += frames;
    }

    // One frame: writes its contribution and advances; false once the voice has stopped.
    bool frame(float* out) {
        uint32_t index = position < length ? static_cast<uint32_t>(position) : last;
        index = index < last ? index : last;
        const float value = static_cast<float>(data[index]) * kScale;
        out[0] = value * left;
        out[1] = value * right;
        if (Loop == ForwardLoop) {
            position += step;
            if (position >= loopEnd) {
                position = wrapForwardLoop(position, sample);
            }
        } else if (Loop == PingPongLoop) {
            if (forward) {
                position += step;
                if (position >= loopEnd) {
                    forward = 0;
                    position = 2.0f * loopEnd - position;
                }
            } else {
                position -= step;
                if (position <= loopStart) {
                    forward = 1;
                    position = 2.0f * loopStart - position;
                }
                if (position <= 0.0f) {
                    forward = 1;
                    position = 0.0f;
                }
            }
        } else {
            position += step;
            if (position >= length) {
                position = -1.0f;
            }
        }
        return position >= 0.0f;
    }
};

template <typename S> uint32_t runSingle(S& s, float* out, uint32_t from, uint32_t to) {
    uint32_t f = from;
    while (f < to) {
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

template <typename A, typename B>
void steadyPair(PlayerChannel* a, float* outA, PlayerChannel* b, float* outB, uint32_t from,
                uint32_t to, uint32_t* endA, uint32_t* endB) {
    A sa(a);
    B sb(b);
    uint32_t f = from;
    bool aliveA = true;
    bool aliveB = true;
    while (f < to && aliveA && aliveB) {
        aliveA = sa.frame(outA + 2 * f);
        aliveB = sb.frame(outB + 2 * f);
        ++f;
    }
    *endA = aliveA ? runSingle(sa, outA, f, to) : f;
    *endB = aliveB ? runSingle(sb, outB, f, to) : f;
    sa.store(a, *endA - from);
    sb.store(b, *endB - from);
}

using SingleKernel = uint32_t (*)(PlayerChannel*, float*, uint32_t, uint32_t);
using PairKernel = void (*)(PlayerChannel*, float*, PlayerChannel*, float*, uint32_t, uint32_t,
                            uint32_t*, uint32_t*);

// Kernel index of a voice: 8- or 16-bit data times the three loop types.
int kind(const PlayerChannel* c) {
    const int loop = c->sample->loopType == ForwardLoop    ? 1
                     : c->sample->loopType == PingPongLoop ? 2
                                                           : 0;
    return (c->sample->bits == 16 ? 3 : 0) + loop;
}

template <int K> struct KindOf;
template <> struct KindOf<0> { using type = Stepper<int8_t, NoLoop>; };
template <> struct KindOf<1> { using type = Stepper<int8_t, ForwardLoop>; };
template <> struct KindOf<2> { using type = Stepper<int8_t, PingPongLoop>; };
template <> struct KindOf<3> { using type = Stepper<int16_t, NoLoop>; };
template <> struct KindOf<4> { using type = Stepper<int16_t, ForwardLoop>; };
template <> struct KindOf<5> { using type = Stepper<int16_t, PingPongLoop>; };

template <int A, int B> constexpr PairKernel pairKernel() {
    return &steadyPair<typename KindOf<A>::type, typename KindOf<B>::type>;
}

template <int A> constexpr std::array<PairKernel, 6> pairRow() {
    return {pairKernel<A, 0>(), pairKernel<A, 1>(), pairKernel<A, 2>(),
            pairKernel<A, 3>(), pairKernel<A, 4>(), pairKernel<A, 5>()};
}

const SingleKernel kSingleKernels[6] = {
    steadyVoice<int8_t, NoLoop>,       steadyVoice<int8_t, ForwardLoop>,
    steadyVoice<int8_t, PingPongLoop>, steadyVoice<int16_t, NoLoop>,
    steadyVoice<int16_t, ForwardLoop>, steadyVoice<int16_t, PingPongLoop>,
};

const std::array<PairKernel, 6> kPairKernels[6] = {pairRow<0>(), pairRow<1>(), pairRow<2>(),
                                                   pairRow<3>(), pairRow<4>(), pairRow<5>()};

} // namespace

uint32_t runSteadyVoice(PlayerChannel* channel, float* out, uint32_t from, uint32_t to) {
    return kSingleKernels[kind(channel)](channel, out, from, to);
}

void runSteadyVoicePair(PlayerChannel* a, float* outA, PlayerChannel* b, float* outB, uint32_t from,
                        uint32_t to, uint32_t* endA, uint32_t* endB) {
    kPairKernels[kind(a)][kind(b)](a, outA, b, outB, from, to, endA, endB);
}
