// The slides, portamento and vibrato that several commands share, and the oscillators.
#include <cmath>

#include "music/effects.h"
#include "music/periods.h"

namespace {

uint32_t randomState = 24492;

// Period units per slide unit: the linear table has four times the Amiga resolution.
float slideUnit(const ModulePlayer* player) {
    return player->frequencyMode == LinearTable ? 4.0f : 1.0f;
}

} // namespace

uint32_t randomWaveformState() {
    return randomState;
}
void setRandomWaveformState(uint32_t state) {
    randomState = state;
}

float waveformValue(Waveform waveform, uint32_t phase) {
    phase %= 64;
    switch (waveform) {
    case Sine:
        return -std::sin(6.283184f * static_cast<float>(phase) / 64.0f);
    case RampDown:
        return (32.0f - static_cast<float>(phase)) / 32.0f;
    case Square:
        return phase >= 32 ? 1.0f : -1.0f;
    case Random:
        randomState = randomState * 1103515245u + 12345u;
        return static_cast<float>((randomState >> 16) & 0x7FFF) / 16384.0f - 1.0f;
    case RampUp:
        return (static_cast<float>(phase) - 32.0f) / 32.0f;
    }
    return 0.0f;
}

void slideVolume(PlayerChannel* channel, uint8_t param) {
    const int up = param >> 4;
    const int down = param & 0x0F;
    if (up != 0 && down != 0) {
        return;
    }
    if (up != 0) {
        const float raised = channel->volume + static_cast<float>(up) / 64.0f;
        channel->volume = raised < 1.0f ? raised : 1.0f;
    } else {
        const float lowered = channel->volume - static_cast<float>(down) / 64.0f;
        channel->volume = lowered > 0.0f ? lowered : 0.0f;
    }
}

void slidePanning(PlayerChannel* channel, uint8_t param) {
    const int right = param >> 4;
    const int left = param & 0x0F;
    if (right != 0 && left != 0) {
        return;
    }
    float panning = right != 0 ? channel->panning + static_cast<float>(right) / 255.0f
                               : channel->panning - static_cast<float>(left) / 255.0f;
    panning = panning < 0.0f ? 0.0f : panning;
    channel->panning = panning > 1.0f ? 1.0f : panning;
}

void slidePitch(const ModulePlayer* player, PlayerChannel* channel, int amount) {
    channel->period += static_cast<float>(amount) * slideUnit(player);
    if (channel->period < 0.0f) {
        channel->period = 0.0f;
    }
    refreshFrequency(player, channel);
}

void slideTonePortamento(const ModulePlayer* player, PlayerChannel* channel) {
    const float target = channel->tonePortamentoTarget;
    if (target == 0.0f || channel->period == target) {
        return;
    }
    const float speed = static_cast<float>(channel->tonePortamentoParam) * slideUnit(player);
    if (channel->period > target) {
        channel->period -= speed;
        if (channel->period < target) {
            channel->period = target;
        }
    } else {
        channel->period += speed;
        if (channel->period > target) {
            channel->period = target;
        }
    }
    refreshFrequency(player, channel);
}

void applyVibrato(const ModulePlayer* player, PlayerChannel* channel, uint8_t param) {
    channel->vibratoTicks = static_cast<uint16_t>(channel->vibratoTicks + (param >> 4));
    const float wave = waveformValue(channel->vibratoWaveform, channel->vibratoTicks);
    channel->vibratoOffset = wave * -2.0f * static_cast<float>(param & 0x0F) / 15.0f;
    refreshFrequency(player, channel);
}
