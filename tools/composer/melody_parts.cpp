#include "arrangement.h"
#include "harmony.h"
#include "instruments.h"
#include "parts.h"
#include "prng.h"

#include <map>
#include <stdexcept>
#include <string>

namespace composer {
namespace {

// Four-bar phrases of the lead. A, B, G and H sing over Am F C G, C and D over F G Em Am, E
// and F over the credits' Fmaj7 G Em7 Am | Fmaj7 G Esus4 E.
const std::map<char, const char*> kPhrases = {
    {'A', "A4:4 C5:2 E5:2 D5:2 C5:2 B4:2 C5:2  A4:6 C5:2 F5:4 E5:4 "
          "E5:4 G5:2 E5:2 D5:2 C5:2 D5:2 E5:2  D5:6 B4:2 G4:4 -:4"},
    {'B', "E5:4 A5:4 G5:2 E5:2 C5:4  F5:4 E5:2 C5:2 A4:4 C5:4 "
          "G5:4 E5:2 C5:2 E5:2 G5:2 C6:4  B5:8 ~G5:4 D5:4"},
    {'C', "A4:4 C5:4 F5:6 E5:2  D5:4 B4:4 G4:4 ~B4:2 D5:2 "
          "E5:6 G5:2 B5:4 A5:2 G5:2  A5:8 E5:4 C5:4"},
    {'D', "C6:4 A5:4 F5:4 A5:2 C6:2  B5:6 G5:2 D5:4 G5:4 "
          "E5:4 G5:4 B5:4 D6:2 B5:2  C6:8 B5:4 ~A5:4"},
    {'E', "C5:8 E5:8  D5:12 B4:4  G4:8 B4:8  A4:16"},
    // The anthem: G and H over Am F C G again, high and in a 3-3-2 rhythm.
    {'G', "A5:3 G5:3 E5:2 A5:3 G5:3 E5:2  F5:3 E5:3 C5:2 F5:3 E5:3 C5:2 "
          "E5:3 D5:3 C5:2 G5:4 E5:4  D5:6 ~B4:2 D5:4 G5:4"},
    {'H', "A5:3 G5:3 E5:2 A5:3 G5:3 C6:2  C6:3 A5:3 F5:2 C6:4 A5:4 "
          "G5:3 E5:3 C5:2 E5:3 G5:3 C6:2  B5:8 D6:4 B5:4"},
    {'F', "C5:8 A4:8  B4:8 D5:8  E5:12 D5:4  G#4:16"},
};

constexpr int kEchoDelay = 3 * kRowsPerSixteenth; // a dotted eighth
constexpr int kVibratoAfter = 2 * kRowsPerSixteenth;

void writeEcho(Song& song, int row, int midi, int volume) {
    const int echoRow = row + kEchoDelay;
    if (midi < 0) {
        song.keyOff(echoRow, EchoChannel);
        return;
    }
    song.note(echoRow, EchoChannel, midi, Lead);
    song.volumeColumn(echoRow, EchoChannel, 0xC3); // panned left
    song.effect(echoRow, EchoChannel, 0x0C, volume * 45 / 100);
}

void writePhrase(Song& song, const Section& s, int row, const char* text, int transpose,
                 Prng& humanise) {
    const std::vector<MelodyNote> notes = parseMelody(text);
    int total = 0;
    for (const MelodyNote& n : notes)
        total += n.sixteenths;
    if (total != 64)
        throw std::logic_error(std::string("a lead phrase is not four bars long: ") + text);
    for (const MelodyNote& n : notes) {
        const int length = n.sixteenths * kRowsPerSixteenth;
        if (row >= s.end)
            return;
        if (n.midi < 0) {
            song.keyOff(row, LeadChannel);
        } else {
            const int volume = s.leadVolume - 3 + humanise.below(5);
            song.note(row, LeadChannel, n.midi + transpose, Lead, volume);
            if (n.glide)
                song.effect(row, LeadChannel, 0x03, 0x20);
            // Long notes bloom into vibrato once they have settled.
            for (int r = row + kVibratoAfter; length >= 8 * kRowsPerSixteenth && r < row + length;
                 ++r)
                song.effect(r, LeadChannel, 0x04, 0x46);
        }
        writeEcho(song, row, n.midi < 0 ? -1 : n.midi + transpose, s.leadVolume);
        row += length;
    }
}

} // namespace

void writeMelody(Song& song) {
    Prng humanise(2026);
    for (const Section& s : arrangement()) {
        if (!s.leadPhrases)
            continue;
        const std::string phrases = s.leadPhrases;
        int row = barRow(barOf(s.start));
        if (row < s.start)
            row += kRowsPerBar;
        for (size_t i = 0; row < s.end; ++i, row += 4 * kRowsPerBar) {
            const char letter = phrases[i % phrases.size()];
            if (letter == '-') {
                song.keyOff(row, LeadChannel);
                writeEcho(song, row, -1, 0);
            } else {
                const bool octaveUp = letter >= 'a' && letter <= 'z';
                writePhrase(song, s, row, kPhrases.at(octaveUp ? char(letter - 'a' + 'A') : letter),
                            octaveUp ? 12 : 0, humanise);
            }
        }
        song.keyOff(s.end, LeadChannel);
        writeEcho(song, s.end, -1, 0);
    }
}

} // namespace composer
