#include "frame_by_frame.h"

#include <algorithm>
#include <cstring>

#include "music/effects.h"
#include "music/module_player.h"
#include "music/sequencer.h"
#include "music/voice.h"
#include "xm_builder.h"

namespace xmtest {

namespace {

void rampToward(float* actual, float target, float step) {
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

} // namespace

void renderFrameByFrame(ModulePlayer* p, float* out, uint32_t frames) {
    for (uint32_t f = 0; f < frames; ++f) {
        if (p->samplesUntilTick <= 0.0f) {
            playerTick(p);
        }
        p->samplesUntilTick -= 1.0f;
        float left = 0.0f;
        float right = 0.0f;
        if (!loopLimitSilences(p)) {
            for (int i = 0; i < p->channelCount; ++i) {
                PlayerChannel* c = &p->channels[i];
                if (!voiceActive(c)) {
                    continue;
                }
                const float v = nextVoiceSample(c);
                left += v * c->actualVolume[0];
                right += v * c->actualVolume[1];
                ++c->rampFrame;
                rampToward(&c->actualVolume[0], c->targetVolume[0], p->rampStep);
                rampToward(&c->actualVolume[1], c->targetVolume[1], p->rampStep);
            }
            const float gain = p->amplification * p->globalVolume;
            left *= gain;
            right *= gain;
        }
        out[2 * f] = left;
        out[2 * f + 1] = right;
    }
}

MixingComparison compareWithFrameByFrame(const std::vector<uint8_t>& bytes, uint32_t rate,
                                         uint32_t frames, uint8_t loopLimit) {
    MixingComparison result;
    PlayerPtr reference = createPlayer(bytes, rate);
    PlayerPtr mixer = createPlayer(bytes, rate);
    if (!reference || !mixer) {
        return result;
    }
    result.loaded = true;
    setLoopLimit(reference.get(), loopLimit);
    setLoopLimit(mixer.get(), loopLimit);
    result.expected.resize(2 * static_cast<size_t>(frames));
    result.mixed.resize(2 * static_cast<size_t>(frames));
    setRandomWaveformState(24492);
    renderFrameByFrame(reference.get(), result.expected.data(), frames);
    setRandomWaveformState(24492);
    uint32_t done = 0;
    for (uint32_t chunk = 1; done < frames; chunk = chunk * 7 % 1013 + 1) {
        const uint32_t n = std::min(chunk, frames - done);
        generateSamples(mixer.get(), result.mixed.data() + 2 * static_cast<size_t>(done), n);
        done += n;
    }
    while (result.firstDifference < result.mixed.size() &&
           std::memcmp(&result.expected[result.firstDifference],
                       &result.mixed[result.firstDifference], sizeof(float)) == 0) {
        ++result.firstDifference;
    }
    return result;
}

} // namespace xmtest
