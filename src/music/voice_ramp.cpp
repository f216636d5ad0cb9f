#include "music/voice_ramp.h"

#include <array>

#include "music/voice.h"
#include "music/voice_kernels.h"
#include "music/voice_position.h"

namespace {

void rampVolume(float* actual, float target, float step) {
    if (*actual > target) {
        *actual -= step;
        if (*actual < target) {
            *actual = target;
        }
    } else if (*actual < target) {
        *actual += step;
        if (*actual > target) {
            *actual = target;
        }
    }
}

// The definition itself, through the channel: for voices the specialised loop does not take.
uint32_t changingFramesByChannel(PlayerChannel* c, float rampStep, float* out, uint32_t frames,
                                 uint32_t steadyFrames, bool* steadyNow) {
    uint32_t f = 0;
    *steadyNow = false;
    while (f < frames && voiceActive(c)) {
        if (voiceSteady(c, steadyFrames)) {
            *steadyNow = true;
            return f;
        }
        const float value = nextVoiceSample(c);
        out[2 * f] = value * c->actualVolume[0];
        out[2 * f + 1] = value * c->actualVolume[1];
        ++c->rampFrame;
        rampVolume(&c->actualVolume[0], c->targetVolume[0], rampStep);
        rampVolume(&c->actualVolume[1], c->targetVolume[1], rampStep);
        ++f;
    }
    return f;
}

// The same frames with the voice's state in locals and its sample type and loop type fixed.
// Valid for a voice with sample data whose ramp frame cannot wrap within the call: the steady
// test then reduces to the crossfade being over and the volumes on targets that fold.
template <typename Value, LoopType Loop>
uint32_t changingFrames(PlayerChannel* c, float rampStep, float* out, uint32_t frames,
                        bool* steadyNow) {
    constexpr float kScale = sizeof(Value) == 1 ? 1.0f / 128.0f : 1.0f / 32768.0f;
    const ModuleSample* sample = c->sample;
    const auto* data = static_cast<const Value*>(sample->data);
    const uint32_t length = sample->length;
    const SamplePosition step = c->step;
    const float target0 = c->targetVolume[0];
    const float target1 = c->targetVolume[1];
    // On its targets a voice's volumes fold as the targets do.
    const bool canSettle = volumesFold(c->targetVolume);
    SamplePosition position = c->position;
    uint8_t forward = c->pingForward;
    uint32_t rampFrame = c->rampFrame;
    float actual0 = c->actualVolume[0];
    float actual1 = c->actualVolume[1];
    uint32_t f = 0;
    *steadyNow = false;
    while (f < frames && position >= 0) {
        if (canSettle && rampFrame >= kCrossfadeFrames && actual0 == target0 &&
            actual1 == target1) {
            *steadyNow = true;
            break;
        }
        float value = static_cast<float>(data[voiceReadIndex(position, length)]) * kScale;
        stepForLoop<Loop>(position, forward, step, sample);
        if (rampFrame < kCrossfadeFrames) {
            const float tail = c->rampBuffer[rampFrame];
            value = tail + (value - tail) * static_cast<float>(rampFrame) / 32.0f;
        }
        out[2 * f] = value * actual0;
        out[2 * f + 1] = value * actual1;
        ++rampFrame;
        rampVolume(&actual0, target0, rampStep);
        rampVolume(&actual1, target1, rampStep);
        ++f;
    }
    c->position = position;
    c->pingForward = forward;
    c->rampFrame = rampFrame;
    c->actualVolume[0] = actual0;
    c->actualVolume[1] = actual1;
    return f;
}

using ChangingKernel = uint32_t (*)(PlayerChannel*, float, float*, uint32_t, bool*);

// Indexed by 8- or 16-bit data times the three loop types.
const std::array<ChangingKernel, 6> kChangingKernels = {
    changingFrames<int8_t, NoLoop>,       changingFrames<int8_t, ForwardLoop>,
    changingFrames<int8_t, PingPongLoop>, changingFrames<int16_t, NoLoop>,
    changingFrames<int16_t, ForwardLoop>, changingFrames<int16_t, PingPongLoop>};

} // namespace

bool voiceSteady(const PlayerChannel* c, uint32_t frames) {
    return c->rampFrame >= kCrossfadeFrames && c->rampFrame <= UINT32_MAX - frames &&
           c->actualVolume[0] == c->targetVolume[0] && c->actualVolume[1] == c->targetVolume[1] &&
           c->sample->length != 0 && steadyVolumesFold(c);
}

uint32_t mixChangingFrames(PlayerChannel* c, float rampStep, float* out, uint32_t frames,
                           uint32_t steadyFrames, bool* steadyNow) {
    const ModuleSample* sample = c->sample;
    // The ramp frame reaches at most rampFrame + frames: no steady test can meet the wrap.
    const bool noWrap = c->rampFrame <= UINT32_MAX - steadyFrames - frames;
    if (!voiceActive(c) || sample->length == 0 || !noWrap || sample->loopType > PingPongLoop) {
        return changingFramesByChannel(c, rampStep, out, frames, steadyFrames, steadyNow);
    }
    const int kind = (sample->bits == 16 ? 3 : 0) + static_cast<int>(sample->loopType);
    return kChangingKernels[kind](c, rampStep, out, frames, steadyNow);
}
