// The writers of the song's parts. Each reads the arrangement and the show's cues and fills
// its own channels of the song.
#pragma once

#include "song.h"

namespace composer {

void writeDrums(Song& song);
void writeHarmony(Song& song); // bass, pads and arpeggios
void writeMelody(Song& song);  // lead and its echo
void writeEffects(Song& song); // crashes, impacts, risers, fills and the master fades
// Pads and bass dip under every flash kick and ringing hats stop before it; runs last.
void duckUnderFlashKicks(Song& song);

// The sixteenth step (0..15) of a module row within its bar.
int stepInBar(int row);

} // namespace composer
