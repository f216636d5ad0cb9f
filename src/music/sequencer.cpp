#include "music/sequencer.h"

#include "music/effects.h"
#include "music/envelopes.h"
#include "music/periods.h"
#include "music/voice.h"

const PatternCell kEmptyCell = {0, 0, 0, 0, 0};

namespace {

constexpr uint8_t kKeyOff = 97;
constexpr uint8_t kEffectArpeggio = 0;
constexpr uint8_t kEffectTonePortamento = 3;
constexpr uint8_t kEffectVibrato = 4;
constexpr uint8_t kEffectTonePortamentoVolumeSlide = 5;
constexpr uint8_t kEffectVibratoVolumeSlide = 6;
constexpr uint8_t kEffectExtended = 14;
constexpr int kRowsOfMissingPattern = 64;

bool isNote(uint8_t note) {
    return note >= 1 && note <= 96;
}

// Orders past the song's end continue at the restart position; a restart position outside
// the song (or a song of no positions) continues at position 0.
uint8_t wrapOrder(const ModulePlayer* player, uint8_t order) {
    if (order < player->songLength) {
        return order;
    }
    const uint8_t restart = static_cast<uint8_t>(player->restartPosition & 0xFF);
    return restart < player->songLength ? restart : 0;
}

const ModulePattern* currentPattern(const ModulePlayer* player) {
    const uint8_t number = player->orderTable[player->currentOrder];
    return number < player->patternCount ? &player->patterns[number] : nullptr;
}

int patternRows(const ModulePattern* pattern) {
    return pattern != nullptr ? pattern->rowCount : kRowsOfMissingPattern;
}

// Rows outside a pattern (a break or jump past its end, or a pattern of 0 rows) read as empty.
const PatternCell* cellAt(const ModulePlayer* player, const ModulePattern* pattern, int row,
                          int channel) {
    if (pattern == nullptr || row >= pattern->rowCount) {
        return &kEmptyCell;
    }
    return &pattern->cells[static_cast<size_t>(row) * player->channelCount + channel];
}

float noteValue(uint8_t cellNote, const ModuleSample* sample) {
    return static_cast<float>(cellNote + sample->relativeNote) +
           static_cast<float>(sample->finetune) / 128.0f - 1.0f;
}

bool isTonePortamentoCell(const PatternCell* cell) {
    return cell->effectType == kEffectTonePortamento ||
           cell->effectType == kEffectTonePortamentoVolumeSlide || cell->volumeColumn >= 0xF0;
}

bool isNoteDelayCell(const PatternCell* cell) {
    return cell->effectType == kEffectExtended && (cell->effectParam & 0xF0) == 0xD0;
}

void keyOff(PlayerChannel* channel) {
    channel->sustained = 0;
    if (channel->instrument == nullptr || !channel->instrument->volumeEnvelope.enabled) {
        channel->volume = 0.0f;
    }
}

void applyInstrumentColumn(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell,
                           bool tonePortamento) {
    if (tonePortamento && channel->instrument != nullptr && channel->sample != nullptr) {
        triggerNote(player, channel, kKeepPeriod | kKeepPosition);
    } else if (cell->note == 0 && channel->sample != nullptr) {
        triggerNote(player, channel, kKeepPosition);
    } else if (cell->instrument <= player->instrumentCount) {
        channel->instrument = &player->instruments[cell->instrument - 1];
    } else {
        channel->volume = 0.0f;
        channel->instrument = nullptr;
        channel->sample = nullptr;
    }
}

void startNote(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell) {
    ModuleInstrument* instrument = channel->instrument;
    if (instrument == nullptr || instrument->sampleCount == 0 ||
        instrument->keymap[cell->note - 1] >= instrument->sampleCount) {
        channel->volume = 0.0f;
        return;
    }
    captureVoiceTail(channel);
    channel->sample = &instrument->samples[instrument->keymap[cell->note - 1]];
    channel->note = channel->origNote = noteValue(cell->note, channel->sample);
    triggerNote(player, channel, cell->instrument == 0 ? unsigned{kKeepVolume} : 0u);
}

void applyNoteColumn(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell,
                     bool tonePortamento) {
    if (isNote(cell->note)) {
        if (tonePortamento && channel->instrument == nullptr) {
            channel->volume = 0.0f;
        } else if (tonePortamento && channel->sample != nullptr) {
            channel->note = noteValue(cell->note, channel->sample);
            channel->tonePortamentoTarget = notePeriod(player, channel->note);
        } else {
            startNote(player, channel, cell);
        }
    } else if (cell->note == kKeyOff) {
        keyOff(channel);
    }
}

bool anyPatternLoopRunning(const ModulePlayer* player) {
    for (int i = 0; i < player->channelCount; ++i) {
        if (player->channels[i].patternLoopCount > 0) {
            return true;
        }
    }
    return false;
}

void tickAutovibrato(const ModulePlayer* player, PlayerChannel* channel) {
    const ModuleInstrument* instrument = channel->instrument;
    if (instrument != nullptr && instrument->autovibratoDepth != 0) {
        const float sweep = channel->autovibratoTicks >= instrument->autovibratoSweep
                                ? 1.0f
                                : static_cast<float>(channel->autovibratoTicks) /
                                      static_cast<float>(instrument->autovibratoSweep);
        const uint32_t phase =
            static_cast<uint32_t>(instrument->autovibratoRate) * channel->autovibratoTicks / 4u;
        const float wave = waveformValue(instrument->autovibratoWaveform, phase);
        channel->autovibratoTicks = static_cast<uint16_t>(channel->autovibratoTicks + 1);
        // In fine period units (1/64 semitone on the linear table): a depth of d swings the
        // period by d units each way once the sweep is over, on both tables, as the trackers do.
        channel->autovibratoOffset =
            wave * static_cast<float>(instrument->autovibratoDepth) * sweep;
        refreshFrequency(player, channel);
    } else if (channel->autovibratoOffset != 0.0f) {
        channel->autovibratoOffset = 0.0f;
        refreshFrequency(player, channel);
    }
}

void endFinishedArpeggio(const ModulePlayer* player, PlayerChannel* channel) {
    const PatternCell* cell = channel->cell != nullptr ? channel->cell : &kEmptyCell;
    const bool arpeggioCell = cell->effectType == kEffectArpeggio && cell->effectParam != 0;
    if (channel->arpeggioActive && !arpeggioCell) {
        channel->arpeggioActive = 0;
        channel->arpeggioOffset = 0;
        refreshFrequency(player, channel);
    }
}

void endFinishedVibrato(const ModulePlayer* player, PlayerChannel* channel) {
    const PatternCell* cell = channel->cell != nullptr ? channel->cell : &kEmptyCell;
    const bool vibratoCell = cell->effectType == kEffectVibrato ||
                             cell->effectType == kEffectVibratoVolumeSlide ||
                             (cell->volumeColumn & 0xF0) == 0xB0;
    if (channel->vibratoActive && !vibratoCell) {
        channel->vibratoActive = 0;
        channel->vibratoOffset = 0.0f;
        refreshFrequency(player, channel);
    }
}

} // namespace

void triggerNote(ModulePlayer* player, PlayerChannel* channel, unsigned flags) {
    if (!(flags & kKeepPosition)) {
        channel->position = 0;
        channel->pingForward = 1;
    }
    if (channel->sample != nullptr) {
        if (!(flags & kKeepVolume)) {
            channel->volume = channel->sample->volume;
        }
        channel->panning = channel->sample->panning;
    }
    if (!(flags & kKeepEnvelopes)) {
        channel->sustained = 1;
        channel->volumeEnvelopeValue = 1.0f;
        channel->fadeoutVolume = 1.0f;
        channel->panningEnvelopeValue = 0.5f;
        channel->volumeEnvelopeFrame = 0;
        channel->panningEnvelopeFrame = 0;
    }
    channel->vibratoOffset = 0.0f;
    channel->tremoloVolume = 0.0f;
    channel->tremorMute = 0;
    channel->autovibratoTicks = 0;
    if (channel->vibratoRetrigger) {
        channel->vibratoTicks = 0;
    }
    if (channel->tremoloRetrigger) {
        channel->tremoloTicks = 0;
    }
    if (!(flags & kKeepPeriod)) {
        channel->period = notePeriod(player, channel->note);
        refreshFrequency(player, channel);
    }
}

void applyCell(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell) {
    const bool tonePortamento = isTonePortamentoCell(cell);
    if (cell->instrument != 0) {
        applyInstrumentColumn(player, channel, cell, tonePortamento);
    }
    applyNoteColumn(player, channel, cell, tonePortamento);
    applyCellEffects(player, channel, cell);
}

void playRow(ModulePlayer* player) {
    bool moved = false;
    uint8_t newOrder = 0;
    if (player->jumpPending) {
        newOrder = player->jumpOrder;
        player->jumpPending = 0;
        player->breakPending = 0;
        moved = true;
    } else if (player->breakPending) {
        newOrder = static_cast<uint8_t>(player->currentOrder + 1);
        player->breakPending = 0;
        moved = true;
    }
    if (moved) {
        player->currentRow = player->jumpRow;
        player->jumpRow = 0;
        player->currentOrder = wrapOrder(player, newOrder);
    }
    // Positions before the first row (an empty song) still index the table's first entry.
    player->currentOrder = wrapOrder(player, player->currentOrder);

    const ModulePattern* pattern = currentPattern(player);
    for (int i = 0; i < player->channelCount; ++i) {
        PlayerChannel* channel = &player->channels[i];
        const PatternCell* cell = cellAt(player, pattern, player->currentRow, i);
        channel->cell = cell;
        if (isNoteDelayCell(cell)) {
            channel->noteDelayParam = cell->effectParam & 0x0F;
        } else {
            applyCell(player, channel, cell);
        }
    }

    if (!anyPatternLoopRunning(player)) {
        uint8_t& visits =
            player->rowVisits[static_cast<size_t>(player->currentOrder) * 256 + player->currentRow];
        player->loopCount = visits;
        visits = static_cast<uint8_t>(visits + 1);
    }

    player->currentRow = static_cast<uint8_t>(player->currentRow + 1);
    const bool patternEnded = player->currentRow >= patternRows(pattern) || player->currentRow == 0;
    if (!player->jumpPending && !player->breakPending && patternEnded) {
        player->currentOrder = wrapOrder(player, static_cast<uint8_t>(player->currentOrder + 1));
        player->currentRow = player->jumpRow;
        player->jumpRow = 0;
    }
}

void playerTick(ModulePlayer* player) {
    if (player->currentTick == 0) {
        playRow(player);
    }
    for (int i = 0; i < player->channelCount; ++i) {
        PlayerChannel* channel = &player->channels[i];
        tickEnvelopes(channel);
        tickAutovibrato(player, channel);
        endFinishedArpeggio(player, channel);
        endFinishedVibrato(player, channel);
        tickEffects(player, channel);
        computeTargetVolumes(channel);
    }
    player->currentTick = static_cast<uint16_t>(player->currentTick + 1);
    if (player->currentTick >= player->tempo + player->extraTicks) {
        player->currentTick = 0;
        player->extraTicks = 0;
    }
    player->samplesUntilTick +=
        static_cast<float>(player->sampleRate) / (static_cast<float>(player->bpm) * 0.4f);
}
