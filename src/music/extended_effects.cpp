// The extended commands Exy: on their row's first tick and on later ticks.
#include "music/effect_table.h"
#include "music/effects.h"
#include "music/envelopes.h"
#include "music/periods.h"
#include "music/sequencer.h"

namespace {

bool hasNote(const PatternCell* cell) {
    return cell->note >= 1 && cell->note <= 96;
}

void finePortamentoUp(ModulePlayer* player, PlayerChannel* c, const PatternCell*, uint8_t y) {
    if (y != 0) {
        c->finePortamentoUpParam = y;
    }
    slidePitch(player, c, -c->finePortamentoUpParam);
}

void finePortamentoDown(ModulePlayer* player, PlayerChannel* c, const PatternCell*, uint8_t y) {
    if (y != 0) {
        c->finePortamentoDownParam = y;
    }
    slidePitch(player, c, c->finePortamentoDownParam);
}

void vibratoWaveform(ModulePlayer*, PlayerChannel* c, const PatternCell*, uint8_t y) {
    c->vibratoWaveform = static_cast<Waveform>(y & 3);
    c->vibratoRetrigger = (y & 4) == 0;
}

void setFinetune(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell, uint8_t y) {
    if (!hasNote(cell) || c->sample == nullptr) {
        return;
    }
    c->note = static_cast<float>(cell->note + c->sample->relativeNote) +
              static_cast<float>((y - 8) * 16) / 128.0f - 1.0f;
    c->period = notePeriod(player, c->note);
    refreshFrequency(player, c);
}

void patternLoop(ModulePlayer* player, PlayerChannel* c, const PatternCell*, uint8_t y) {
    if (y == 0) {
        c->patternLoopOrigin = player->currentRow;
        player->jumpRow = player->currentRow;
    } else if (c->patternLoopCount == y) {
        c->patternLoopCount = 0;
    } else {
        c->patternLoopCount = static_cast<uint8_t>(c->patternLoopCount + 1);
        player->jumpPending = 1;
        player->jumpOrder = player->currentOrder;
        player->jumpRow = c->patternLoopOrigin;
    }
}

void tremoloWaveform(ModulePlayer*, PlayerChannel* c, const PatternCell*, uint8_t y) {
    c->tremoloWaveform = static_cast<Waveform>(y & 3);
    c->tremoloRetrigger = (y & 4) == 0;
}

void fineVolumeSlideUp(ModulePlayer*, PlayerChannel* c, const PatternCell*, uint8_t y) {
    if (y != 0) {
        c->fineVolumeSlideParam = y;
    }
    slideVolume(c, static_cast<uint8_t>(c->fineVolumeSlideParam << 4));
}

void fineVolumeSlideDown(ModulePlayer*, PlayerChannel* c, const PatternCell*, uint8_t y) {
    if (y != 0) {
        c->fineVolumeSlideParam = y;
    }
    slideVolume(c, c->fineVolumeSlideParam);
}

// Reached when a delayed cell is finally applied; a cell with a note or an instrument has
// already been handled by applyCell.
void noteDelayApplied(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell, uint8_t y) {
    if (cell->note != 0 || cell->instrument != 0) {
        return;
    }
    if (y != 0) {
        c->note = c->origNote;
        triggerNote(player, c, kKeepVolume);
    } else {
        triggerNote(player, c, kKeepVolume | kKeepPeriod | kKeepPosition);
    }
}

void patternDelay(ModulePlayer* player, PlayerChannel*, const PatternCell*, uint8_t y) {
    player->extraTicks = static_cast<uint16_t>(y * player->tempo);
}

void retrigger(ModulePlayer* player, PlayerChannel* c, const PatternCell*, uint8_t y) {
    if (player->currentTick != 0 && y != 0 && player->currentTick % y == 0) {
        triggerNote(player, c, kKeepVolume);
        tickEnvelopes(c);
    }
}

void noteCut(ModulePlayer* player, PlayerChannel* c, const PatternCell*, uint8_t y) {
    if (player->currentTick == y) {
        c->volume = 0.0f;
    }
}

void noteDelay(ModulePlayer* player, PlayerChannel* c, const PatternCell* cell, uint8_t) {
    if (player->currentTick == c->noteDelayParam) {
        applyCell(player, c, cell);
        tickEnvelopes(c);
    }
}

} // namespace

const ExtendedHandler kExtendedRowStart[16] = {
    nullptr,            // E0
    finePortamentoUp,   // E1
    finePortamentoDown, // E2
    nullptr,            // E3
    vibratoWaveform,    // E4
    setFinetune,        // E5
    patternLoop,        // E6
    tremoloWaveform,    // E7
    nullptr,
    nullptr,             // E8, E9
    fineVolumeSlideUp,   // EA
    fineVolumeSlideDown, // EB
    nullptr,             // EC
    noteDelayApplied,    // ED
    patternDelay,        // EE
    nullptr,             // EF
};

const ExtendedHandler kExtendedTick[16] = {
    nullptr,   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    retrigger, // E9
    nullptr,   nullptr,
    noteCut,   // EC
    noteDelay, // ED
    nullptr,   nullptr,
};
