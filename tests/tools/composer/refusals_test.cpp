// The composer's notation and limits. What the composer writes is checked byte for byte
// against the committed module by the composer test; here: note names with accidentals the
// song does not use yet, and what is refused rather than written wrong (the XM writer's
// limits, the song's restart position, notation it does not know).
#include "harmony.h"
#include "song.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace composer {
namespace {

// One order, one 1-row pattern, one instrument with a 7-frame looped sample.
XmModule tinyModule() {
    XmModule m;
    m.channels = 1;
    m.orders = {0};
    m.patterns = {XmPattern{1, 1, std::vector<XmCell>(1)}};
    XmInstrument ins;
    XmSample s;
    s.data = {1, 2, 3, 4, 5, 6, 7};
    s.loop = XmLoop::PingPong;
    s.loopStart = 1;
    s.loopLength = 6;
    ins.samples = {s};
    ins.volumeEnvelope.points.resize(12);
    m.instruments = {ins};
    return m;
}

TEST(ComposerNotation, NoteNamesWithAccidentals) {
    EXPECT_EQ(parseNote("A4"), 69);
    EXPECT_EQ(parseNote("C#5"), 73);
    EXPECT_EQ(parseNote("Bb3"), 58);
    EXPECT_EQ(parseNote("C-1"), 0);
    EXPECT_EQ(parseChord("Bbsus4").root, 10);
}

TEST(ComposerRefusals, WriterNotationAndSong) {
    EXPECT_NO_THROW(writeXm(tinyModule())); // the limits themselves are fine
    XmModule m = tinyModule();
    m.orders.push_back(1); // no pattern 1
    EXPECT_THROW(writeXm(m), std::invalid_argument);
    m = tinyModule();
    m.instruments[0].samples[0].loopLength = 7; // runs one frame past the end
    EXPECT_THROW(writeXm(m), std::invalid_argument);
    m = tinyModule();
    m.instruments[0].volumeEnvelope.points.resize(13);
    EXPECT_THROW(writeXm(m), std::invalid_argument);

    Song song;
    XmModule cut;
    EXPECT_THROW(cutIntoPatterns(song, 98, cut), std::invalid_argument); // 98 orders: 0..97

    EXPECT_THROW(parseNote("H4"), std::invalid_argument);
    EXPECT_THROW(parseNote("A"), std::invalid_argument);
    EXPECT_THROW(parseChord("Adim"), std::invalid_argument);
    EXPECT_THROW(parseMelody("A4"), std::invalid_argument);
}

} // namespace
} // namespace composer
