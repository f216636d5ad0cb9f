// Commands of the volume column: on the row's first tick and on its later ticks.
#include "music/effects.h"

namespace {

uint8_t low(uint8_t v) {
    return v & 0x0F;
}

} // namespace

void applyVolumeColumnRowStart(ModulePlayer*, PlayerChannel* channel, uint8_t v) {
    if (v >= 0x10 && v <= 0x50) {
        channel->volume = static_cast<float>(v - 0x10) / 64.0f;
        return;
    }
    const uint8_t x = low(v);
    switch (v >> 4) {
    case 0x8:
        slideVolume(channel, x);
        break;
    case 0x9:
        slideVolume(channel, static_cast<uint8_t>(x << 4));
        break;
    case 0xA:
        channel->vibratoParam = static_cast<uint8_t>((channel->vibratoParam & 0x0F) | (x << 4));
        break;
    case 0xB:
        // Like the effect's vibrato, a depth of 0 keeps the remembered depth.
        if (x != 0) {
            channel->vibratoParam = static_cast<uint8_t>((channel->vibratoParam & 0xF0) | x);
        }
        break;
    case 0xC:
        channel->panning = static_cast<float>(17 * x) / 255.0f;
        break;
    case 0xF:
        if (x != 0) {
            channel->tonePortamentoParam = static_cast<uint8_t>(17 * x);
        }
        break;
    default:
        break;
    }
}

void applyVolumeColumnTick(ModulePlayer* player, PlayerChannel* channel, uint8_t v) {
    const uint8_t x = low(v);
    switch (v >> 4) {
    case 0x6:
        slideVolume(channel, x);
        break;
    case 0x7:
        slideVolume(channel, static_cast<uint8_t>(x << 4));
        break;
    case 0xB:
        channel->vibratoActive = 0;
        applyVibrato(player, channel, channel->vibratoParam);
        break;
    case 0xD:
        slidePanning(channel, x);
        break;
    case 0xE:
        slidePanning(channel, static_cast<uint8_t>(x << 4));
        break;
    case 0xF:
        slideTonePortamento(player, channel);
        break;
    default:
        break;
    }
}

void applyCellEffects(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell) {
    applyVolumeColumnRowStart(player, channel, cell->volumeColumn);
    applyEffectRowStart(player, channel, cell);
}

void tickEffects(ModulePlayer* player, PlayerChannel* channel) {
    if (channel->cell == nullptr) {
        return;
    }
    // The cell may be applied again (a delayed note), so take a stable reference first.
    const PatternCell* cell = channel->cell;
    if (player->currentTick != 0) {
        applyVolumeColumnTick(player, channel, cell->volumeColumn);
    }
    applyEffectTick(player, channel, cell);
}
