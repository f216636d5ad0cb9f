// Notes to periods and periods to playback frequencies, under the module's frequency table.
#pragma once

#include "music/module_player.h"

// Period of a note (semitones, fractional) under the player's frequency table.
float notePeriod(const ModulePlayer* player, float note);
// Period of a note from the Amiga period table, interpolated between semitones.
float amigaNotePeriod(float note);
// Playback frequency in Hz of a period with an arpeggio offset (semitones) and a vibrato
// offset added to the period, in fine period units: 1/64 semitone (one period unit) under the
// linear table, a quarter period unit under the Amiga table. Both tables thus share one
// vibrato scale, that of the trackers' finer Amiga periods (C-4 = 1712).
float periodFrequency(const ModulePlayer* player, float period, uint8_t arpeggioOffset,
                      float vibratoOffset);
// Recomputes the channel's frequency and step from its period and offsets.
void refreshFrequency(const ModulePlayer* player, PlayerChannel* channel);
