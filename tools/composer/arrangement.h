// The arrangement: the song's sections in order, each naming its chords and which parts play
// how loud. The parts (drums, harmony, melody, effects) read this table and write the song.
#pragma once

#include <string>
#include <vector>

namespace composer {

enum class ArpStyle { None, Pluck, Chip };

// How the pad plays its chords: held from chord change to chord change, held and swelling
// from silence over the section, or struck as short syncopated stabs.
enum class PadStyle { Held, Swell, Stabs };

struct Section {
    const char* name;
    int start, end;          // module rows, end exclusive
    const char* progression; // one chord per bar, cycled from the section's first bar
    int groove;              // index into the drum grooves, -1 for no groove
    int drumVolume;          // 0..64
    int bassPattern;         // index into the bass patterns, -1 for none
    int bassVolume;
    int padInstrument; // 0 for none
    int padVolume;
    PadStyle padStyle;
    // One letter per four bars, '-' for a rest, lower case for the phrase an octave up; null
    // for no lead.
    const char* leadPhrases;
    int leadVolume;
    ArpStyle arp;
    int arpVolume;
};

const std::vector<Section>& arrangement();

// The bar a module row falls in (bars start at barRow(bar)); rows before the first bar line
// belong to bar -1.
int barOf(int row);

// The chord name that sounds at `row` of `section`.
std::string chordAt(const Section& section, int row);

} // namespace composer
