// The sequencer: order positions, rows and ticks; notes, instruments and retriggers.
#pragma once

#include "music/module_player.h"

// Flags of triggerNote: what a (re)start leaves as it is.
enum : unsigned {
    kKeepVolume = 1,
    kKeepPeriod = 2,
    kKeepPosition = 4,
    kKeepEnvelopes = 8,
};

// One tick for all channels; plays a row on tick 0 and schedules the next tick.
void playerTick(ModulePlayer* player);
// Reads the current row's cells into the channels and moves the song position on.
void playRow(ModulePlayer* player);
// Note, instrument, volume column and effect of one cell.
void applyCell(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell);
// (Re)starts the channel's note; flags are kKeep... bits.
void triggerNote(ModulePlayer* player, PlayerChannel* channel, unsigned flags);

// The cell every row of a missing pattern (and every row outside a pattern) holds.
extern const PatternCell kEmptyCell;
