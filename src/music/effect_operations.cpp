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

namespace {

// Half a sine cycle in 32 steps, 0..255: the trackers' vibrato table.
constexpr uint8_t kVibratoSine[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212,
                                      224, 235, 244, 250, 253, 255, 253, 250, 244, 235, 224,
                                      212, 197, 180, 161, 141, 120, 97,  74,  49,  24};

} // namespace

float vibratoPeriodOffset(Waveform waveform, uint32_t phase, uint32_t depth) {
    phase %= 64;
    const uint32_t step = phase % 32;
    const bool secondHalf = phase >= 32;
    uint32_t amplitude = 0;
    switch (waveform) {
    case Sine:
        amplitude = kVibratoSine[step];
        break;
    case RampDown:
    case RampUp:
        // Ramp down: the period rises through the first half, jumps to its lowest at the half
        // and rises again, so the pitch falls. Ramp up is its mirror image (below).
        amplitude = secondHalf ? 255 - 8 * step : 8 * step;
        break;
    case Square:
        amplitude = 255;
        break;
    case Random:
        // The generator's value in -1..1 scaled to the same range; it carries its own sign.
        return static_cast<float>(static_cast<int32_t>(waveformValue(Random, phase) * 255.0f *
                                                       static_cast<float>(depth)) /
                                  32);
    default:
        return 0.0f;
    }
    // The first half raises the period (the pitch goes down first), the second lowers it.
    const auto delta = static_cast<int32_t>(amplitude * depth >> 5);
    const int32_t offset = secondHalf ? -delta : delta;
    return static_cast<float>(waveform == RampUp ? -offset : offset);
}

void applyVibrato(const ModulePlayer* player, PlayerChannel* channel, uint8_t param) {
    // The phase as it stands sets this tick's offset; the speed moves it on for the next.
    channel->vibratoOffset =
        vibratoPeriodOffset(channel->vibratoWaveform, channel->vibratoTicks, param & 0x0Fu);
    channel->vibratoTicks = static_cast<uint16_t>(channel->vibratoTicks + (param >> 4));
    refreshFrequency(player, channel);
}
