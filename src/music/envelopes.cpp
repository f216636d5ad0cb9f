#include "music/envelopes.h"

namespace {

float envelopeValueAt(const Envelope* e, uint16_t frame) {
    int segment = e->pointCount - 2;
    for (int j = 0; j + 2 < e->pointCount; ++j) {
        if (e->points[j].frame <= frame && frame <= e->points[j + 1].frame) {
            segment = j;
            break;
        }
    }
    const EnvelopePoint& a = e->points[segment];
    const EnvelopePoint& b = e->points[segment + 1];
    float value;
    if (frame <= a.frame) {
        value = static_cast<float>(a.value);
    } else if (frame >= b.frame) {
        value = static_cast<float>(b.value);
    } else {
        const float t = static_cast<float>(frame - a.frame) / static_cast<float>(b.frame - a.frame);
        value = (1.0f - t) * static_cast<float>(a.value) + t * static_cast<float>(b.value);
    }
    return value / 64.0f;
}

} // namespace

void tickEnvelope(const Envelope* e, uint16_t* frame, float* value, bool sustained) {
    if (e->pointCount == 0) {
        return;
    }
    if (e->pointCount == 1) {
        const float single = static_cast<float>(e->points[0].value) / 64.0f;
        *value = single < 1.0f ? single : 1.0f;
        return;
    }
    // Loop points were clamped to the point count by the loader.
    if (e->loopEnabled && *frame >= e->points[e->loopEnd].frame) {
        *frame = static_cast<uint16_t>(*frame - e->points[e->loopEnd].frame +
                                       e->points[e->loopStart].frame);
    }
    *value = envelopeValueAt(e, *frame);
    // A sustain point that names no point of the envelope holds nowhere.
    const bool holding = sustained && e->sustainEnabled && e->sustainPoint < e->pointCount &&
                         *frame == e->points[e->sustainPoint].frame;
    if (!holding) {
        *frame = static_cast<uint16_t>(*frame + 1);
    }
}

void tickEnvelopes(PlayerChannel* channel) {
    const ModuleInstrument* instrument = channel->instrument;
    if (instrument == nullptr) {
        return;
    }
    if (instrument->volumeEnvelope.enabled) {
        if (!channel->sustained) {
            const float faded =
                channel->fadeoutVolume - static_cast<float>(instrument->fadeout) / 32768.0f;
            channel->fadeoutVolume = faded > 0.0f ? faded : 0.0f;
        }
        tickEnvelope(&instrument->volumeEnvelope, &channel->volumeEnvelopeFrame,
                     &channel->volumeEnvelopeValue, channel->sustained != 0);
    }
    if (instrument->panningEnvelope.enabled) {
        tickEnvelope(&instrument->panningEnvelope, &channel->panningEnvelopeFrame,
                     &channel->panningEnvelopeValue, channel->sustained != 0);
    }
}
