#include "arrangement.h"
#include "instruments.h"
#include "parts.h"
#include "show_cues.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace composer {
namespace {

// One bar of a drum line per string, one character per sixteenth.
// kick:  x = kick.                     snare: x = snare, c = clap, g = ghost snare (delayed),
// hats:  x = closed, X = accented closed, o = open, r = closed with a retrigger flam.
struct Groove {
    const char* kick;
    const char* snare;
    const char* hats;
};

const Groove kGrooves[] = {
    /* 0 intro hats   */ {"................", "................", "..x...x...x...x."},
    /* 1 intro drive  */ {"x...x...x...x...", "....c.......c...", "..o...o...o...o."},
    /* 2 show kicks   */ {"................", "....x.......x..g", "xxoxxxoxxxoxxxoX"},
    /* 3 show claps   */ {"................", "....c.......c...", "x.o.x.o.x.o.x.or"},
    /* 4 four floor   */ {"x...x...x...x...", "....x.......x..g", "xxoxxxoxxxoxxxoX"},
    /* 5 double time  */ {"x...x...x...x...", "x.x.x.x.x.x.x.x.", "XxXxXxXxXxXxXxXr"},
    /* 6 floor claps  */ {"x...x...x...x...", "....c.......c.g.", "x.o.x.o.x.o.x.or"},
};

int scaled(int volume, int level) {
    return volume * level / 64;
}

void writeGroove(Song& song, const Section& s) {
    const Groove& g = kGrooves[s.groove];
    for (const char* line : {g.kick, g.snare, g.hats})
        if (std::strlen(line) != 16)
            throw std::logic_error(std::string("a drum line is not one bar long: ") + line);
    for (int row = s.start; row < s.end; ++row) {
        if ((row - barRow(0)) % kRowsPerSixteenth != 0)
            continue;
        const int step = stepInBar(row);
        if (g.kick[step] == 'x')
            song.note(row, KickChannel, kDrumMidi, Kick, scaled(60, s.drumVolume));
        switch (g.snare[step]) {
        case 'x':
            song.note(row, SnareChannel, kDrumMidi, Snare, scaled(62, s.drumVolume));
            break;
        case 'c':
            song.note(row, SnareChannel, kDrumMidi, Clap, scaled(62, s.drumVolume));
            break;
        case 'g':
            // A soft ghost note, struck late: two ticks into its row.
            song.note(row, SnareChannel, kDrumMidi, Snare, scaled(16, s.drumVolume));
            song.effect(row, SnareChannel, 0x0E, 0xD2);
            break;
        }
        const char hat = g.hats[step];
        if (hat == 'x' || hat == 'X' || hat == 'r')
            song.note(row, HatChannel, kDrumMidi, ClosedHat,
                      scaled(hat == 'X' ? 40 : 26, s.drumVolume));
        else if (hat == 'o')
            song.note(row, HatChannel, kDrumMidi, OpenHat, scaled(30, s.drumVolume));
        if (hat == 'r')
            song.effect(row, HatChannel, 0x0E, 0x92);
    }
}

// The double-time build swells: its snare line grows from soft to full over the section.
void swellSnares(Song& song, const Section& s) {
    for (int row = s.start; row < s.end; ++row) {
        XmCell* c = song.at(row, SnareChannel);
        if (c && c->note && c->instrument == Snare) {
            const int volume = 18 + 46 * (row - s.start) / (s.end - s.start);
            c->volume = uint8_t(0x10 + volume);
        }
    }
}

// A kick struck a sixteenth after another would be smeared into the first one's boom; the
// first is cut short half-way so the pair stays two distinct punches.
void chokeDoubleKicks(Song& song) {
    int previous = -100;
    for (int row = 0; row < kSongRows; ++row) {
        const int instrument = song.cell(row, KickChannel).instrument;
        if (instrument != Kick && instrument != FlashKick)
            continue;
        const int gap = row - previous;
        if (gap <= kRowsPerSixteenth && gap >= 2)
            song.effect(previous + gap / 2, KickChannel, 0x0E, 0xC0);
        previous = row;
    }
}

} // namespace

int stepInBar(int row) {
    const int inBar = ((row - barRow(0)) % kRowsPerBar + kRowsPerBar) % kRowsPerBar;
    return inBar / kRowsPerSixteenth;
}

void writeDrums(Song& song) {
    for (const Section& s : arrangement())
        if (s.groove >= 0) {
            writeGroove(song, s);
            if (s.groove == 5)
                swellSnares(song, s);
        }

    // Every heart flash is a full, hard kick, whatever the groove.
    for (int r : heartFlashRows())
        song.note(showRow(r), KickChannel, kDrumMidi, FlashKick, 64);

    // The strobes are snare rolls rising in volume. A hit followed closely by the next is cut
    // just before it, so each strike of the roll stands out.
    const std::vector<int>& strobes = strobeRows();
    for (size_t i = 0; i < strobes.size(); ++i) {
        const int row = showRow(strobes[i]);
        const bool logo = strobes[i] < 1000;
        const int volume = logo ? 30 + 3 * int(i) : 40 + 3 * int(i - 11);
        song.note(row, SnareChannel, kDrumMidi, Snare, volume > 64 ? 64 : volume);
        if (i + 1 < strobes.size() && strobes[i + 1] - strobes[i] <= 2)
            song.effect(showRow(strobes[i + 1]) - 1, SnareChannel, 0x0E, 0xC1);
    }
    // The blast that breaks the logo.
    song.note(showRow(2159), KickChannel, kDrumMidi, Kick, 64);
    chokeDoubleKicks(song);
}

} // namespace composer
