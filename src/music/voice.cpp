#include "music/voice.h"

#include <cmath>

#include "music/voice_position.h"

float nextVoiceSample(PlayerChannel* channel) {
    if (!voiceActive(channel)) {
        if (channel->rampFrame < kCrossfadeFrames) {
            return channel->rampBuffer[channel->rampFrame] *
                   (1.0f - static_cast<float>(channel->rampFrame) / 32.0f);
        }
        return 0.0f;
    }
    const ModuleSample* sample = channel->sample;
    if (sample->length == 0) {
        return 0.0f;
    }
    float value = voiceValue(sample, channel->position);
    advanceVoice(channel, sample);
    if (channel->rampFrame < kCrossfadeFrames) {
        value = crossfade(channel, value);
    }
    return value;
}

void captureVoiceTail(PlayerChannel* channel) {
    for (uint32_t k = 0; k < kCrossfadeFrames; ++k) {
        const float value = nextVoiceSample(channel);
        channel->rampBuffer[k] = value;
    }
    channel->rampFrame = 0;
}

void computeTargetVolumes(PlayerChannel* channel) {
    const float panning = channel->panning;
    float p = panning +
              (0.5f - std::fabs(panning - 0.5f)) * (channel->panningEnvelopeValue - 0.5f) * 2.0f;
    // Envelope values above full scale would push the pan past an edge; hold it there.
    if (!(p >= 0.0f)) {
        p = 0.0f;
    } else if (p > 1.0f) {
        p = 1.0f;
    }
    float gain = 0.0f;
    if (!channel->tremorMute) {
        float level = channel->volume + channel->tremoloVolume;
        level = level < 0.0f ? 0.0f : (level > 1.0f ? 1.0f : level);
        gain = level * channel->volumeEnvelopeValue * channel->fadeoutVolume;
    }
    channel->targetVolume[0] = std::sqrt(1.0f - p) * gain;
    channel->targetVolume[1] = std::sqrt(p) * gain;
}
