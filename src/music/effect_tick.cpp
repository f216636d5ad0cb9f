// Effect-column commands on every tick of their row (most of them skip the first tick).
#include "music/effect_table.h"
#include "music/effects.h"
#include "music/periods.h"
#include "music/sequencer.h"

namespace {

uint8_t high(uint8_t p) {
    return p >> 4;
}
uint8_t low(uint8_t p) {
    return p & 0x0F;
}

bool laterTick(const ModulePlayer* player) {
    return player->currentTick != 0;
}

// Volume change per retrigger, by the high nibble of the parameter.
struct RetrigVolume {
    float add; // in 1/64 steps
    float multiply;
};
constexpr RetrigVolume kRetrigVolumeTable[16] = {
    {0, 1}, {-1, 1}, {-2, 1}, {-4, 1}, {-8, 1}, {-16, 1}, {0, 2.0f / 3.0f}, {0, 0.5f},
    {0, 1}, {1, 1},  {2, 1},  {4, 1},  {8, 1},  {16, 1},  {0, 1.5f},        {0, 2},
};

void arpeggio(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell) {
    const uint8_t p = cell->effectParam;
    if (p == 0) {
        return;
    }
    const unsigned m = player->tempo % 3;
    const unsigned t = player->currentTick;
    if (m == 2 && t == 1) {
        c->arpeggioActive = 1;
        c->arpeggioOffset = high(p);
    } else if (m != 0 && t == 0) {
        c->arpeggioActive = 0;
        c->arpeggioOffset = 0;
    } else {
        const uint8_t offsets[3] = {0, low(p), high(p)};
        const unsigned k = (t - m) % 3;
        c->arpeggioActive = k != 0;
        c->arpeggioOffset = offsets[k];
    }
    refreshFrequency(player, c);
}

void portamentoUp(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        slidePitch(player, c, -c->portamentoUpParam);
    }
}

void portamentoDown(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        slidePitch(player, c, c->portamentoDownParam);
    }
}

void tonePortamento(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        slideTonePortamento(player, c);
    }
}

void vibrato(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        c->vibratoActive = 1;
        applyVibrato(player, c, c->vibratoParam);
    }
}

void tonePortamentoVolumeSlide(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        slideTonePortamento(player, c);
        slideVolume(c, c->volumeSlideParam);
    }
}

void vibratoVolumeSlide(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        c->vibratoActive = 1;
        applyVibrato(player, c, c->vibratoParam);
        slideVolume(c, c->volumeSlideParam);
    }
}

void tremolo(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (!laterTick(player)) {
        return;
    }
    const uint8_t t = c->tremoloTicks;
    c->tremoloTicks = static_cast<uint8_t>(t + 1);
    const float wave = waveformValue(c->tremoloWaveform, high(c->tremoloParam) * t);
    c->tremoloVolume = -wave * static_cast<float>(low(c->tremoloParam)) / 15.0f;
}

void volumeSlide(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        slideVolume(c, c->volumeSlideParam);
    }
}

void extended(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell) {
    const ExtendedHandler handler = kExtendedTick[high(cell->effectParam)];
    if (handler != nullptr) {
        handler(player, c, cell, low(cell->effectParam));
    }
}

void globalVolumeSlide(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (!laterTick(player)) {
        return;
    }
    const uint8_t up = high(c->globalVolumeSlideParam);
    const uint8_t down = low(c->globalVolumeSlideParam);
    if (up != 0 && down != 0) {
        return;
    }
    if (up != 0) {
        const float raised = player->globalVolume + static_cast<float>(up) / 64.0f;
        player->globalVolume = raised < 1.0f ? raised : 1.0f;
    } else {
        const float lowered = player->globalVolume - static_cast<float>(down) / 64.0f;
        player->globalVolume = lowered > 0.0f ? lowered : 0.0f;
    }
}

void keyOff(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell) {
    if (player->currentTick != cell->effectParam) {
        return;
    }
    c->sustained = 0;
    if (c->instrument == nullptr || !c->instrument->volumeEnvelope.enabled) {
        c->volume = 0.0f;
    }
}

void panningSlide(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (laterTick(player)) {
        slidePanning(c, c->panningSlideParam);
    }
}

void multiRetrigger(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell) {
    const uint8_t y = low(c->multiRetrigParam);
    if (!laterTick(player) || y == 0 || player->currentTick % y != 0) {
        return;
    }
    triggerNote(player, c, kKeepVolume | kKeepEnvelopes);
    const bool envelopeDrivesVolume =
        c->instrument != nullptr && c->instrument->volumeEnvelope.enabled;
    if (cell->volumeColumn == 0 && !envelopeDrivesVolume) {
        const RetrigVolume& change = kRetrigVolumeTable[high(c->multiRetrigParam)];
        float volume = change.add / 64.0f + change.multiply * c->volume;
        volume = volume < 0.0f ? 0.0f : volume;
        c->volume = volume > 1.0f ? 1.0f : volume;
    }
}

void tremor(ModulePlayer* player, PlayerChannel* c, const PatternCell*) {
    if (!laterTick(player)) {
        return;
    }
    const unsigned on = high(c->tremorParam);
    const unsigned off = low(c->tremorParam);
    c->tremorMute = (player->currentTick - 1u) % (on + off + 2u) > on;
}

} // namespace

const EffectHandler kEffectTick[kEffectTypes] = {
    arpeggio,                  // 0
    portamentoUp,              // 1
    portamentoDown,            // 2
    tonePortamento,            // 3
    vibrato,                   // 4
    tonePortamentoVolumeSlide, // 5
    vibratoVolumeSlide,        // 6
    tremolo,                   // 7
    nullptr,
    nullptr,     // 8, 9
    volumeSlide, // A
    nullptr,
    nullptr,
    nullptr,  // B, C, D
    extended, // E
    nullptr,
    nullptr,           // F, G
    globalVolumeSlide, // H
    nullptr,
    nullptr, // I, J
    keyOff,  // K
    nullptr,
    nullptr,
    nullptr,
    nullptr,        // L, M, N, O
    panningSlide,   // P
    nullptr,        // Q
    multiRetrigger, // R
    nullptr,        // S
    tremor,         // T
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr, // U..Z
};

void applyEffectTick(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell) {
    if (cell->effectType < kEffectTypes && kEffectTick[cell->effectType] != nullptr) {
        kEffectTick[cell->effectType](player, channel, cell);
    }
}
