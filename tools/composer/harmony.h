// Chords and melodies written as text, so the music itself reads as tables.
#pragma once

#include <string>
#include <vector>

namespace composer {

struct Chord {
    int root = 0;               // pitch class, 0 = C
    std::vector<int> intervals; // semitones above the root
};

// "Am", "F", "G7", "Fmaj7", "Em7", "Esus4", "Dm"...; throws std::invalid_argument otherwise.
Chord parseChord(const std::string& name);

// MIDI number of a note name such as "A4", "C#5", "Bb3".
int parseNote(const std::string& name);

// Three chord tones, each in the octave band [low, low + 12), sorted upward.
std::vector<int> voiceChord(const Chord& chord, int low);

// MIDI note of the chord's root in the octave band [low, low + 12).
int rootIn(const Chord& chord, int low);

struct MelodyNote {
    int midi = -1; // -1 = rest
    int sixteenths = 0;
    bool glide = false; // slides from the previous note instead of striking
};

// Tokens "name:length" separated by blanks, length in sixteenths; "-" is a rest and a
// leading "~" glides into the note: "A4:4 C5:2 ~E5:2 -:8".
std::vector<MelodyNote> parseMelody(const std::string& text);

} // namespace composer
