// Chord and melody notation, and the shape of the arrangement.
#include "arrangement.h"
#include "harmony.h"
#include "song.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace composer {
namespace {

TEST(Harmony, ChordsAndNotesParse) {
    EXPECT_EQ(parseNote("A4"), 69);
    EXPECT_EQ(parseNote("C#5"), 73);
    EXPECT_EQ(parseNote("Bb3"), 58);
    EXPECT_EQ(parseNote("C-1"), 0);
    EXPECT_THROW(parseNote("H4"), std::invalid_argument);
    EXPECT_THROW(parseNote("A"), std::invalid_argument);

    const Chord am = parseChord("Am");
    EXPECT_EQ(am.root, 9);
    EXPECT_EQ(am.intervals, (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(parseChord("Fmaj7").intervals, (std::vector<int>{0, 4, 7, 11}));
    EXPECT_EQ(parseChord("Bbsus4").root, 10);
    EXPECT_THROW(parseChord("Adim"), std::invalid_argument);
}

TEST(Harmony, VoicingsStayInTheirBand) {
    // Fmaj7 from A3: the root, third and seventh, each within A3..G#4.
    EXPECT_EQ(voiceChord(parseChord("Fmaj7"), 57), (std::vector<int>{57, 64, 65}));
    EXPECT_EQ(voiceChord(parseChord("G"), 57), (std::vector<int>{59, 62, 67}));
    EXPECT_EQ(rootIn(parseChord("E"), 31), 40);
    EXPECT_EQ(rootIn(parseChord("G"), 31), 31);
}

TEST(Harmony, MelodiesParseWithRestsAndGlides) {
    const std::vector<MelodyNote> m = parseMelody("A4:4  -:2 ~C5:10");
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].midi, 69);
    EXPECT_EQ(m[0].sixteenths, 4);
    EXPECT_EQ(m[1].midi, -1);
    EXPECT_TRUE(m[2].glide);
    EXPECT_EQ(m[2].midi, 72);
    EXPECT_THROW(parseMelody("A4"), std::invalid_argument);
}

TEST(Arrangement, SectionsTileTheSongAndTheirChordsParse) {
    int expectedStart = 0;
    for (const Section& s : arrangement()) {
        EXPECT_EQ(s.start, expectedStart) << s.name;
        EXPECT_LT(s.start, s.end) << s.name;
        expectedStart = s.end;
        std::istringstream chords(s.progression);
        for (std::string c; chords >> c;)
            EXPECT_NO_THROW(parseChord(c)) << s.name << ": " << c;
    }
    EXPECT_EQ(expectedStart, kSongRows);

    // Chords change on bar lines and cycle: the main part's fifth bar is its first chord again.
    const Section& main = arrangement()[4];
    ASSERT_EQ(std::string(main.name), "main 1");
    EXPECT_EQ(chordAt(main, barRow(12)), "Am");
    EXPECT_EQ(chordAt(main, barRow(13) - 1), "Am");
    EXPECT_EQ(chordAt(main, barRow(13)), "F");
    EXPECT_EQ(chordAt(main, barRow(16)), "Am");
    EXPECT_EQ(barOf(0), -1);
    EXPECT_EQ(barOf(31), -1);
    EXPECT_EQ(barOf(32), 0);
}

} // namespace
} // namespace composer
