#include "harmony.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace composer {
namespace {

int pitchClass(char letter) {
    static const int classes[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (letter < 'A' || letter > 'G')
        throw std::invalid_argument(std::string("not a note letter: ") + letter);
    return classes[letter - 'A'];
}

// Reads a letter and an optional accidental from the start of `text`, returns the characters
// used.
size_t readPitch(const std::string& text, int& pc) {
    if (text.empty())
        throw std::invalid_argument("empty note name");
    pc = pitchClass(text[0]);
    size_t used = 1;
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
        pc = (pc + (text[1] == '#' ? 1 : 11)) % 12;
        used = 2;
    }
    return used;
}

} // namespace

Chord parseChord(const std::string& name) {
    struct Quality {
        const char* suffix;
        std::vector<int> intervals;
    };
    static const Quality qualities[] = {
        {"", {0, 4, 7}},       {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}},
        {"m7", {0, 3, 7, 10}}, {"maj7", {0, 4, 7, 11}}, {"sus4", {0, 5, 7}},
        {"sus2", {0, 2, 7}},   {"add9", {0, 4, 7, 14}}, {"madd9", {0, 3, 7, 14}},
    };
    Chord chord;
    const size_t used = readPitch(name, chord.root);
    const std::string suffix = name.substr(used);
    for (const Quality& q : qualities)
        if (suffix == q.suffix) {
            chord.intervals = q.intervals;
            return chord;
        }
    throw std::invalid_argument("unknown chord: " + name);
}

int parseNote(const std::string& name) {
    int pc = 0;
    const size_t used = readPitch(name, pc);
    if (used >= name.size())
        throw std::invalid_argument("note without octave: " + name);
    const int octave = std::stoi(name.substr(used));
    return 12 * (octave + 1) + pc;
}

int rootIn(const Chord& chord, int low) {
    int note = low + ((chord.root - low) % 12 + 12) % 12;
    return note;
}

std::vector<int> voiceChord(const Chord& chord, int low) {
    // Prefer the root, third and seventh (or fifth) so four-note chords keep their colour.
    std::vector<int> degrees = {chord.intervals[0], chord.intervals[1],
                                chord.intervals[chord.intervals.size() > 3 ? 3 : 2]};
    std::vector<int> notes;
    for (int d : degrees)
        notes.push_back(low + ((chord.root + d - low) % 12 + 12) % 12);
    std::sort(notes.begin(), notes.end());
    return notes;
}

std::vector<MelodyNote> parseMelody(const std::string& text) {
    std::vector<MelodyNote> notes;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const size_t colon = token.find(':');
        if (colon == std::string::npos)
            throw std::invalid_argument("melody token without length: " + token);
        MelodyNote n;
        std::string pitch = token.substr(0, colon);
        n.sixteenths = std::stoi(token.substr(colon + 1));
        if (!pitch.empty() && pitch[0] == '~') {
            n.glide = true;
            pitch = pitch.substr(1);
        }
        n.midi = pitch == "-" ? -1 : parseNote(pitch);
        notes.push_back(n);
    }
    return notes;
}

} // namespace composer
