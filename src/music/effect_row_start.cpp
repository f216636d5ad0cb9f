// Effect-column commands on the first tick of their row.
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

void remember(uint8_t* memory, uint8_t p) {
    if (p != 0) {
        *memory = p;
    }
}

// Sets the non-zero nibbles of a speed/depth memory.
void rememberNibbles(uint8_t* memory, uint8_t p) {
    if (low(p) != 0) {
        *memory = static_cast<uint8_t>((*memory & 0xF0) | low(p));
    }
    if (high(p) != 0) {
        *memory = static_cast<uint8_t>((*memory & 0x0F) | (high(p) << 4));
    }
}

bool hasNote(const PatternCell* cell) {
    return cell->note >= 1 && cell->note <= 96;
}

void portamentoUp(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    remember(&c->portamentoUpParam, cell->effectParam);
}
void portamentoDown(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    remember(&c->portamentoDownParam, cell->effectParam);
}
void tonePortamento(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    remember(&c->tonePortamentoParam, cell->effectParam);
}
void vibrato(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    rememberNibbles(&c->vibratoParam, cell->effectParam);
}
void volumeSlide(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    remember(&c->volumeSlideParam, cell->effectParam);
}
void tremolo(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    rememberNibbles(&c->tremoloParam, cell->effectParam);
}
void setPanning(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    c->panning = static_cast<float>(cell->effectParam) / 255.0f;
}

void sampleOffset(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    if (cell->effectParam != 0) {
        c->sampleOffsetParam = cell->effectParam;
    }
    if (c->sample == nullptr || !hasNote(cell)) {
        return;
    }
    // The offset counts sample frames, 256 per unit, whatever the sample's bit depth.
    const uint32_t offset = c->sampleOffsetParam * 256u;
    c->position = offset >= c->sample->length ? kVoiceStopped : framePosition(offset);
}

void positionJump(ModulePlayer* player, PlayerChannel*, const PatternCell* cell) {
    if (cell->effectParam < player->songLength) {
        player->jumpPending = 1;
        player->jumpOrder = cell->effectParam;
        player->jumpRow = 0;
    }
}

void setVolume(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    const uint8_t p = cell->effectParam < 64 ? cell->effectParam : 64;
    c->volume = static_cast<float>(p) / 64.0f;
}

void patternBreak(ModulePlayer* player, PlayerChannel*, const PatternCell* cell) {
    player->breakPending = 1;
    player->jumpRow = static_cast<uint8_t>(high(cell->effectParam) * 10 + low(cell->effectParam));
}

void setSpeed(ModulePlayer* player, PlayerChannel*, const PatternCell* cell) {
    const uint8_t p = cell->effectParam;
    if (p >= 1 && p <= 31) {
        player->tempo = p;
    } else if (p >= 32) {
        player->bpm = p;
    }
}

void setGlobalVolume(ModulePlayer* player, PlayerChannel*, const PatternCell* cell) {
    const uint8_t p = cell->effectParam < 64 ? cell->effectParam : 64;
    player->globalVolume = static_cast<float>(p) / 64.0f;
}

void globalVolumeSlide(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    remember(&c->globalVolumeSlideParam, cell->effectParam);
}

void setEnvelopePosition(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    c->volumeEnvelopeFrame = cell->effectParam;
    c->panningEnvelopeFrame = cell->effectParam;
}

void panningSlide(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    remember(&c->panningSlideParam, cell->effectParam);
}

void multiRetrigger(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    const uint8_t p = cell->effectParam;
    if (p == 0) {
        return;
    }
    if (high(p) != 0) {
        c->multiRetrigParam = p;
    } else {
        c->multiRetrigParam = static_cast<uint8_t>((c->multiRetrigParam & 0xF0) | low(p));
    }
}

void tremor(ModulePlayer*, PlayerChannel* c, const PatternCell* cell) {
    remember(&c->tremorParam, cell->effectParam);
}

// X1y and X2y move the period by the same amount as E1y and E2y.
void extraFinePortamento(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell) {
    const uint8_t y = low(cell->effectParam);
    if (high(cell->effectParam) == 1) {
        remember(&c->extraFinePortamentoUpParam, y);
        slidePitch(player, c, -c->extraFinePortamentoUpParam);
    } else if (high(cell->effectParam) == 2) {
        remember(&c->extraFinePortamentoDownParam, y);
        slidePitch(player, c, c->extraFinePortamentoDownParam);
    }
}

void extended(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell) {
    const ExtendedHandler handler = kExtendedRowStart[high(cell->effectParam)];
    if (handler != nullptr) {
        handler(player, c, cell, low(cell->effectParam));
    }
}

} // namespace

const EffectHandler kEffectRowStart[kEffectTypes] = {
    nullptr,           // 0 arpeggio: runs in the tick handler, tick 0 included
    portamentoUp,      // 1
    portamentoDown,    // 2
    tonePortamento,    // 3
    vibrato,           // 4
    volumeSlide,       // 5 tone portamento + volume slide
    volumeSlide,       // 6 vibrato + volume slide
    tremolo,           // 7
    setPanning,        // 8
    sampleOffset,      // 9
    volumeSlide,       // A
    positionJump,      // B
    setVolume,         // C
    patternBreak,      // D
    extended,          // E
    setSpeed,          // F
    setGlobalVolume,   // G
    globalVolumeSlide, // H
    nullptr,
    nullptr,             // I, J
    nullptr,             // K key off: later ticks
    setEnvelopePosition, // L
    nullptr,
    nullptr,
    nullptr,        // M, N, O
    panningSlide,   // P
    nullptr,        // Q
    multiRetrigger, // R
    nullptr,        // S
    tremor,         // T
    nullptr,
    nullptr,
    nullptr,             // U, V, W
    extraFinePortamento, // X
    nullptr,
    nullptr, // Y, Z
};

void applyEffectRowStart(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell) {
    if (cell->effectType < kEffectTypes && kEffectRowStart[cell->effectType] != nullptr) {
        kEffectRowStart[cell->effectType](player, channel, cell);
    }
}
