#include "instruments.h"
#include "parts.h"

namespace composer {
namespace {

// Crash cymbals, in module rows: the drops, the section changes and the big hits.
const int kCrashRows[] = {778,  800,  1760, 2272, 3296, 4320, 4832,  5344,  5856,
                          6880, 7392, 8544, 9184, 9440, 9572, 10592, 11616, 12128};

// Sub-bass impacts: the logo, the main drop, the explosion, the break and the final part.
const int kImpactRows[] = {778, 800, 4318, 9440, 9572};

// Noise risers: start row and the row of the hit they lead into.
struct RiserSweep {
    int start, end;
};
const RiserSweep kRisers[] = {{544, 778}, {4160, 4318}, {9184, 9440}, {9508, 9572}};

// Tom fills: rows and notes, each tom dropping in pitch as it rings.
struct Fill {
    int row;
    int midi;
};
const Fill kFills[] = {
    // end of the first main part (show rows 1896 to 1903)
    {3792, 67},
    {3796, 64},
    {3800, 60},
    {3804, 57},
    // into the double-time build
    {9168, 67},
    {9172, 64},
    {9176, 62},
    {9180, 60},
    // the stutter before the break (show rows 4710 to 4717)
    {9420, 64},
    {9424, 60},
    {9430, 57},
    {9434, 55},
};

// A riser starts dark and quiet at a different point of its noise each time (sample offset),
// then climbs in pitch (portamento up) and swells (volume-column slides up) into its hit.
void writeRiser(Song& song, const RiserSweep& r, int index) {
    song.note(r.start, FxChannel, 48, Riser, 4);
    song.effect(r.start, FxChannel, 0x09, 0x30 * index);
    const int length = r.end - r.start;
    constexpr int kSwellSteps = 15; // each a row of 0x71: 2/64 louder
    for (int row = r.start + 1; row < r.end; ++row) {
        song.effect(row, FxChannel, 0x01, 0x02);
        if ((row - r.start) % (length / kSwellSteps) == 0)
            song.volumeColumn(row, FxChannel, 0x71);
    }
}

// The break breathes out with the picture: the pads slide down to silence by show row 4782.
void fadeBreak(Song& song) {
    for (int row = 9456; row < 9564; row += 5)
        for (int c = PadChannel1; c <= PadChannel3; ++c)
            song.effect(row, c, 0x0A, 0x01);
}

// The last seconds fade the whole mix to silence with the global volume (show 6200 to 6256).
void fadeOut(Song& song) {
    const int from = 12400, to = kSongRows;
    int previous = 64;
    for (int row = from; row < to; ++row) {
        const int level = 64 * (to - 1 - row) / (to - 1 - from);
        if (level != previous)
            song.effect(row, FxChannel, 0x10, level);
        previous = level;
    }
}

} // namespace

void writeEffects(Song& song) {
    int index = 0;
    for (const RiserSweep& r : kRisers)
        writeRiser(song, r, index++);
    for (int row : kImpactRows)
        song.note(row, FxChannel, kDrumMidi, Impact, 64);
    for (int row : kCrashRows)
        song.note(row, PercChannel, kDrumMidi, Crash, 44);
    for (const Fill& f : kFills) {
        song.note(f.row, PercChannel, f.midi, Tom, 48);
        song.effect(f.row, PercChannel, 0x02, 0x10);
    }
    fadeBreak(song);
    fadeOut(song);
}

} // namespace composer
