#include "arrangement.h"

#include "instruments.h"
#include "song.h"

#include <sstream>

namespace composer {

const std::vector<Section>& arrangement() {
    // A minor throughout. Main progression i-VI-III-VII; the answer phrase VI-VII-v-i; the
    // credits drift through major sevenths to the dominant E that leads back home.
    static const char* kMain = "Am F C G";
    static const char* kAnswer = "F G Em Am";
    static const char* kCredits = "Fmaj7 G Em7 Am Fmaj7 G Esus4 E";
    static const char* kStabs = "Dm F Am G";
    static const char* kRise = "F F G G";
    // Rows are module rows, two to a show row: 800 is show row 400 (the first heart flash),
    // 3808 the credits (1904), 4320 the second main part (2160), 9184 the double-time build
    // (4592), 9440 the break (4720), 9572 the final part (4786), 12128 the outro (6064).
    // clang-format off
    static const std::vector<Section> sections = {
        // name       start  end    chords        groove vol bass vol  pad      vol pad style  lead    vol arp         vol
        {"intro",         0,   288, "Am Am F F C C G G", -1, 0, -1,  0, Strings, 44, PadStyle::Swell,  nullptr, 0, ArpStyle::None,  0},
        {"intro hats",  288,   544, "Am Am F F",   0, 30, -1,  0, Strings, 46, PadStyle::Held, nullptr, 0, ArpStyle::Pluck, 22},
        {"intro drive", 544,   776, "Am F C G",    1, 40,  0, 36, GatePad, 34, PadStyle::Held, nullptr, 0, ArpStyle::Pluck, 28},
        {"logo",        776,   800, "G",          -1,  0, -1,  0, Strings, 40, PadStyle::Held, nullptr, 0, ArpStyle::None,  0},
        {"main 1",      800,  1760, kMain,         2, 52,  0, 44, Pad,     30, PadStyle::Held, "-A-B",  40, ArpStyle::Pluck, 22},
        {"peak 1",     1760,  2272, kMain,         2, 56,  1, 44, Pad,     32, PadStyle::Held, "AB",    44, ArpStyle::Pluck, 24},
        {"answer",     2272,  3296, kAnswer,       3, 50,  2, 42, GatePad, 36, PadStyle::Held, "-C-D",  40, ArpStyle::Pluck, 24},
        {"peak 2",     3296,  3808, kMain,         2, 56,  1, 44, Pad,     32, PadStyle::Held, "AB",    44, ArpStyle::Pluck, 24},
        {"credits",    3808,  4288, kCredits,     -1,  0,  3, 34, Strings, 40, PadStyle::Held, "EF",    34, ArpStyle::Chip,  20},
        {"explosion",  4288,  4320, "E",          -1,  0, -1,  0, Strings, 40, PadStyle::Held, nullptr, 0, ArpStyle::None,  0},
        {"main 2",     4320,  4832, kMain,         2, 56,  1, 44, Pad,     32, PadStyle::Held, "GH",    44, ArpStyle::Pluck, 24},
        {"groove",     4832,  5344, kAnswer,       4, 52,  0, 44, GatePad, 36, PadStyle::Held, nullptr, 0, ArpStyle::Pluck, 28},
        {"stabs",      5344,  5856, kStabs,        4, 54,  2, 44, Pad,     30, PadStyle::Stabs, nullptr, 0, ArpStyle::Chip,  18},
        {"answer 2",   5856,  6880, kAnswer,       6, 52,  1, 44, GatePad, 34, PadStyle::Held, "CD",    42, ArpStyle::Pluck, 24},
        {"stabs 2",    6880,  7392, kStabs,        4, 54,  2, 44, Pad,     30, PadStyle::Stabs, nullptr, 0, ArpStyle::Chip,  20},
        {"main 3",     7392,  8544, kMain,         4, 56,  1, 44, Pad,     32, PadStyle::Held, "AB-b",  44, ArpStyle::Pluck, 24},
        {"lift",       8544,  9184, kAnswer,       6, 50,  0, 42, GatePad, 36, PadStyle::Held, "-D",    40, ArpStyle::Pluck, 26},
        {"double time",9184,  9440, kRise,         5, 58,  4, 44, GatePad, 38, PadStyle::Held, nullptr, 0, ArpStyle::Pluck, 30},
        {"break",      9440,  9572, "F",          -1,  0, -1,  0, Strings, 44, PadStyle::Held, nullptr, 0, ArpStyle::None,  0},
        {"final",      9572, 10592, kMain,         4, 56,  1, 44, Pad,     32, PadStyle::Held, "AB",    44, ArpStyle::Pluck, 24},
        {"final answer",10592,11616, kAnswer,      4, 56,  1, 44, GatePad, 34, PadStyle::Held, "CD",    42, ArpStyle::Pluck, 24},
        {"final peak", 11616, 12128, kMain,        4, 58,  1, 44, Pad,     32, PadStyle::Held, "GH",    44, ArpStyle::Pluck, 26},
        {"outro",      12128, 12512, "F G Am Am Am Am", -1, 0, 3, 36, Strings, 44, PadStyle::Held, "E", 34, ArpStyle::Chip, 18},
    };
    // clang-format on
    return sections;
}

int barOf(int row) {
    const int offset = row - barRow(0);
    return offset >= 0 ? offset / kRowsPerBar : (offset - kRowsPerBar + 1) / kRowsPerBar;
}

std::string chordAt(const Section& section, int row) {
    std::istringstream in(section.progression);
    std::vector<std::string> chords;
    for (std::string c; in >> c;)
        chords.push_back(c);
    const int index = barOf(row) - barOf(section.start);
    return chords[size_t(index) % chords.size()];
}

} // namespace composer
