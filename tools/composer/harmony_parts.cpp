#include "arrangement.h"
#include "harmony.h"
#include "instruments.h"
#include "parts.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace composer {
namespace {

// Bass lines, one bar each, one character per sixteenth: r root, o octave, f fifth,
// ~ glide up to the octave, x release.
const char* const kBassPatterns[] = {
    /* 0 offbeat  */ "..rx..rx..rx..rx",
    /* 1 rolling  */ "r.rrx.r.r.rr.r~.",
    /* 2 stabs    */ "r.x...r.x.....ox",
    /* 3 held     */ "r...............",
    /* 4 sixteens */ "rrorrrorrrorrrof",
};

constexpr int kBassLow = 31; // roots fall in G1..F#2
constexpr int kPadLow = 57;  // chord tones in A3..G#4
constexpr int kArpLow = 64;  // arpeggios in E4..D#5
constexpr int kChipLow = 69; // chip roots in A4..G#5

// The order in which the arpeggio walks the chord's tones (3 is the lowest an octave up).
const int kArpWalk[16] = {0, 1, 2, 3, 1, 2, 3, 2, 0, 1, 2, 3, 2, 3, 1, 2};

void writeBass(Song& song, const Section& s) {
    const char* pattern = kBassPatterns[s.bassPattern];
    if (std::strlen(pattern) != 16)
        throw std::logic_error(std::string("a bass line is not one bar long: ") + pattern);
    for (int row = s.start; row < s.end; ++row) {
        if ((row - barRow(0)) % kRowsPerSixteenth != 0)
            continue;
        const int root = rootIn(parseChord(chordAt(s, row)), kBassLow);
        switch (pattern[stepInBar(row)]) {
        case 'r':
            song.note(row, BassChannel, root, Bass, s.bassVolume);
            break;
        case 'o':
            song.note(row, BassChannel, root + 12, Bass, s.bassVolume);
            break;
        case 'f':
            song.note(row, BassChannel, root + 7, Bass, s.bassVolume);
            break;
        case '~':
            song.note(row, BassChannel, root + 12, Bass, s.bassVolume);
            song.effect(row, BassChannel, 0x03, 0x30);
            break;
        case 'x':
            song.keyOff(row, BassChannel);
            break;
        }
    }
}

// The three chord voices spread left, centre and right.
const int kVoicePanning[3] = {0x50, 0x80, 0xB0};

void strikeVoice(Song& song, int row, int voice, int midi, int instrument, int volume) {
    song.note(row, PadChannel1 + voice, midi, instrument, volume);
    song.effect(row, PadChannel1 + voice, 0x08, kVoicePanning[voice]);
}

// Pad stabs: a syncopated rhythm of short bright chords, each cut after a sixteenth and a half.
const char* const kStabRhythm = "x..x..x..x..x.x.";
constexpr int kStabLength = 6;

void writePadStabs(Song& song, const Section& s) {
    for (int row = s.start; row < s.end; ++row) {
        if ((row - barRow(0)) % kRowsPerSixteenth != 0 || kStabRhythm[stepInBar(row)] != 'x')
            continue;
        const std::vector<int> tones = voiceChord(parseChord(chordAt(s, row)), kPadLow + 12);
        for (int v = 0; v < 3; ++v) {
            strikeVoice(song, row, v, tones[size_t(v)], Lead, s.padVolume);
            song.effect(row + kStabLength, PadChannel1 + v, 0x0E, 0xC0);
        }
    }
}

void writePads(Song& song, const Section& s) {
    if (s.padStyle == PadStyle::Stabs) {
        writePadStabs(song, s);
        return;
    }
    const bool swell = s.padStyle == PadStyle::Swell;
    std::string previous;
    for (int row = s.start; row < s.end; ++row) {
        const bool barStart = (row - barRow(0)) % kRowsPerBar == 0;
        if (row != s.start && !barStart)
            continue;
        const std::string chord = chordAt(s, row);
        if (row != s.start && chord == previous)
            continue;
        previous = chord;
        const std::vector<int> tones = voiceChord(parseChord(chord), kPadLow);
        for (int v = 0; v < 3; ++v)
            strikeVoice(song, row, v, tones[size_t(v)], s.padInstrument, swell ? 0 : s.padVolume);
    }
    if (swell)
        for (int row = s.start; row < s.end; row += 4)
            for (int v = 0; v < 3; ++v)
                song.volumeColumn(row, PadChannel1 + v,
                                  0x10 + s.padVolume * (row - s.start) / (s.end - s.start));
    if (s.padInstrument == Strings && s.arp == ArpStyle::Chip)
        // A slow tremolo on the top voice of the quiet passages.
        for (int row = s.start; row < s.end; ++row)
            song.effect(row, PadChannel3, 0x07, 0x43);
}

void writePluckArp(Song& song, const Section& s) {
    int count = 0;
    for (int row = s.start; row < s.end; ++row) {
        if ((row - barRow(0)) % kRowsPerSixteenth != 0)
            continue;
        std::vector<int> tones = voiceChord(parseChord(chordAt(s, row)), kArpLow);
        tones.push_back(tones[0] + 12);
        const int step = stepInBar(row);
        const int accent = step % 4 == 0 ? 8 : 0;
        song.note(row, ArpChannel, tones[size_t(kArpWalk[step])], Pluck, s.arpVolume + accent);
        // Alternate the notes between left and right.
        song.effect(row, ArpChannel, 0x08, (count++ % 2) ? 0xB0 : 0x50);
    }
}

// Chip chords: one note a beat, the arpeggio command spelling the chord on every tick.
void writeChipArp(Song& song, const Section& s) {
    for (int row = s.start; row < s.end; ++row) {
        const Chord chord = parseChord(chordAt(s, row));
        const int third = chord.intervals[1], fifth = chord.intervals[2];
        if ((row - barRow(0)) % kRowsPerBeat == 0 || row == s.start)
            song.note(row, ArpChannel, rootIn(chord, kChipLow), Chip, s.arpVolume);
        song.effect(row, ArpChannel, 0x00, (third << 4) | (fifth > 15 ? 15 : fifth));
    }
}

} // namespace

void writeHarmony(Song& song) {
    for (const Section& s : arrangement()) {
        // Looping voices are released at the section's end unless the next section strikes
        // a new note there (sections are written in order, so it overwrites the release).
        if (s.bassPattern >= 0) {
            song.keyOff(s.end, BassChannel);
            writeBass(song, s);
        }
        if (s.arp == ArpStyle::Chip)
            song.keyOff(s.end, ArpChannel);
        if (s.padInstrument)
            writePads(song, s);
        if (s.arp == ArpStyle::Pluck)
            writePluckArp(song, s);
        else if (s.arp == ArpStyle::Chip)
            writeChipArp(song, s);
    }
}

} // namespace composer
