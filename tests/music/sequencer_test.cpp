#include <gtest/gtest.h>

#include "player_test_support.h"

using namespace xmtest;

namespace {

// Plays rows one tick each (tempo 1) and reports which cells channel 0 saw, by the tag in
// each cell's volume column (see taggedModule).
std::vector<int> tags(ModulePlayer* p, int rows) {
    std::vector<int> out;
    for (int i = 0; i < rows; ++i) {
        playerTick(p);
        out.push_back(p->channels[0].cell->volumeColumn);
    }
    return out;
}

// A one-channel module whose cells are tagged in the volume column (0x10 + row, a plain
// volume setting) so the rows played can be read back.
XmModule taggedModule(std::vector<uint16_t> rowsPerPattern, uint16_t channels = 1) {
    XmModule m;
    m.channels = channels;
    m.tempo = 1;
    for (size_t p = 0; p < rowsPerPattern.size(); ++p) {
        m.addPattern(rowsPerPattern[p]);
        for (int r = 0; r < rowsPerPattern[p]; ++r) {
            m.cell(static_cast<int>(p), r, 0).volume = static_cast<uint8_t>(0x10 + 16 * p + r);
        }
    }
    m.orders.clear();
    for (size_t p = 0; p < rowsPerPattern.size(); ++p) {
        m.orders.push_back(static_cast<uint8_t>(p));
    }
    return m;
}

int tag(int pattern, int row) {
    return 0x10 + 16 * pattern + row;
}

// Appends the tags of rows first..last (inclusive) of a pattern.
void appendTags(std::vector<int>& v, int pattern, int first, int last) {
    for (int r = first; r <= last; ++r) {
        v.push_back(tag(pattern, r));
    }
}

// Gives a cell an effect, keeping its tag.
void setEffect(XmModule& m, int pattern, int row, uint8_t effect, uint8_t param) {
    m.cell(pattern, row, 0).effect = effect;
    m.cell(pattern, row, 0).param = param;
}

} // namespace

TEST(Sequencer, RowsLastTempoTicks) {
    for (uint16_t tempo : {0, 1, 3, 6}) {
        XmModule m = taggedModule({8});
        m.tempo = tempo;
        PlayerPtr p = createPlayer(m.build());
        runTicks(p.get(), 12);
        const int ticksPerRow = tempo == 0 ? 1 : tempo;
        EXPECT_EQ(p->currentRow, (12 + ticksPerRow - 1) / ticksPerRow % 8) << tempo;
    }
}

TEST(Sequencer, TickLengthFollowsTheBpmAfterEveryTick) {
    XmModule m = taggedModule({4});
    setEffect(m, 0, 1, 0x0F, 250); // F with p >= 32 sets the bpm
    m.tempo = 1;
    PlayerPtr p = createPlayer(m.build());
    playerTick(p.get());
    EXPECT_FLOAT_EQ(p->samplesUntilTick, 882.0f);
    playerTick(p.get());
    EXPECT_FLOAT_EQ(p->samplesUntilTick, 882.0f + 441.0f);
}

TEST(Sequencer, BpmZeroIsTakenAsTheDefaultTempo) {
    XmModule m = taggedModule({4});
    m.bpm = 0;
    PlayerPtr p = createPlayer(m.build());
    EXPECT_EQ(p->bpm, 125);
    std::vector<float> out = render(p.get(), 4000);
    // Ticks of 882 frames start at frames 0, 882, 1764, 2646 and 3528: five rows.
    EXPECT_EQ(p->currentRow, 5 % 4);
}

TEST(Sequencer, MissingPatternsPlay64EmptyRows) {
    XmModule m = taggedModule({2});
    m.orders = {5, 0};
    PlayerPtr p = createPlayer(m.build());
    std::vector<int> expected(64, 0);
    appendTags(expected, 0, 0, 1);
    EXPECT_EQ(tags(p.get(), 66), expected);
}

TEST(Sequencer, A256RowPatternEndsWhenTheRowWraps) {
    XmModule m = taggedModule({256, 2});
    PlayerPtr p = createPlayer(m.build());
    std::vector<int> seen = tags(p.get(), 257);
    EXPECT_EQ(p->currentOrder, 1);
    EXPECT_EQ(seen[256], tag(1, 0));
}

TEST(Sequencer, JumpsAndBreaks) {
    XmModule m = taggedModule({4, 4, 16});
    m.orders = {0, 1, 2, 1};
    setEffect(m, 0, 1, 0x0B, 2);    // jump to order 2
    setEffect(m, 2, 0, 0x0D, 0x12); // break to row 1 x 10 + 2 = 12 of the next order
    setEffect(m, 0, 0, 0x0B, 9);    // a jump past the song's end is ignored
    PlayerPtr p = createPlayer(m.build());
    std::vector<int> seen = tags(p.get(), 5);
    // Row 12 of the 4-row pattern at order 3 does not exist: it plays as an empty row and
    // the song moves on to the next order position (the end, so the restart at 0).
    EXPECT_EQ(seen, (std::vector<int>{tag(0, 0), tag(0, 1), tag(2, 0), 0, tag(0, 0)}));
}

TEST(Sequencer, AJumpAndABreakInOneRowGoToTheJumpsPositionAtTheLastRowSet) {
    // The jump wins the position; the row is the last one set in channel order: the break's
    // 5 after the jump, the jump's 0 after the break.
    for (bool jumpFirst : {true, false}) {
        XmModule m = taggedModule({4, 16, 16}, 2);
        m.cell(0, 1, jumpFirst ? 0 : 1) = {0, 0, 0, 0x0B, 2};
        m.cell(0, 1, jumpFirst ? 1 : 0) = {0, 0, 0, 0x0D, 0x05};
        m.cell(0, 1, 0).volume = static_cast<uint8_t>(tag(0, 1));
        PlayerPtr p = createPlayer(m.build());
        EXPECT_EQ(tags(p.get(), 3),
                  (std::vector<int>{tag(0, 0), tag(0, 1), jumpFirst ? tag(2, 5) : tag(2, 0)}));
    }
}

TEST(Sequencer, BreakDigitsAreTakenAsTheyAre) {
    XmModule m = taggedModule({1, 64});
    m.orders = {0, 1};
    setEffect(m, 0, 0, 0x0D, 0x0F);
    PlayerPtr p = createPlayer(m.build());
    std::vector<int> seen = tags(p.get(), 2);
    EXPECT_EQ(seen[1], tag(1, 15));
}

TEST(Sequencer, RestartPositionOutsideTheSongRestartsAtZero) {
    for (uint16_t restart : {1u, 2u, 300u, 0x0101u}) {
        XmModule m = taggedModule({1, 1});
        m.restart = restart;
        PlayerPtr p = createPlayer(m.build());
        std::vector<int> seen = tags(p.get(), 4);
        const int expectedOrder = (restart & 0xFF) < 2 ? (restart & 0xFF) : 0;
        EXPECT_EQ(seen[2], tag(expectedOrder, 0)) << restart;
        EXPECT_LT(p->currentOrder, 2);
    }
}

TEST(Sequencer, SongOfNoPositionsAndPatternsOfNoRows) {
    XmModule empty = taggedModule({3});
    empty.songLength = 0;
    PlayerPtr p = createPlayer(empty.build());
    std::vector<int> seen = tags(p.get(), 4);
    EXPECT_EQ(seen[0], tag(0, 0));
    EXPECT_EQ(seen[1], tag(0, 1));
    EXPECT_EQ(p->currentOrder, 0);

    XmModule zeroRows = taggedModule({0, 2});
    PlayerPtr q = createPlayer(zeroRows.build());
    seen = tags(q.get(), 3);
    EXPECT_EQ(seen, (std::vector<int>{0, tag(1, 0), tag(1, 1)}));
}

TEST(Sequencer, PatternLoopRepeatsRowsWithoutCountingThem) {
    XmModule m = taggedModule({12, 8});
    setEffect(m, 0, 4, 0x0E, 0x60);
    setEffect(m, 0, 8, 0x0E, 0x62);
    PlayerPtr p = createPlayer(m.build());
    setLoopLimit(p.get(), 1);
    std::vector<int> seen = tags(p.get(), 4 + 5 * 3 + 3 + 1);
    std::vector<int> expected;
    appendTags(expected, 0, 0, 3);
    for (int pass = 0; pass < 3; ++pass) {
        appendTags(expected, 0, 4, 8);
    }
    appendTags(expected, 0, 9, 11);
    appendTags(expected, 1, 4, 4); // E60 left the next pattern's start row at 4
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(loopLimitSilences(p.get()));
    EXPECT_EQ(p->rowVisits[0 * 256 + 5], 1); // counted once, not three times
}

TEST(Sequencer, PatternDelayLengthensTheRow) {
    XmModule m = taggedModule({4});
    m.tempo = 6;
    setEffect(m, 0, 0, 0x0E, 0xE2);
    PlayerPtr p = createPlayer(m.build());
    runTicks(p.get(), 18);
    EXPECT_EQ(p->currentTick, 0);
    EXPECT_EQ(p->channels[0].cell->volumeColumn, tag(0, 0));
    playerTick(p.get());
    EXPECT_EQ(p->channels[0].cell->volumeColumn, tag(0, 1));
}

TEST(Sequencer, LoopLimitCountsRowVisitsInEightBits) {
    XmModule m = taggedModule({2});
    PlayerPtr p = createPlayer(m.build());
    setLoopLimit(p.get(), 1);
    playerTick(p.get());
    playerTick(p.get());
    EXPECT_FALSE(loopLimitSilences(p.get()));
    playerTick(p.get()); // row 0 again
    EXPECT_TRUE(loopLimitSilences(p.get()));
    EXPECT_EQ(p->loopCount, 1);
    // Each row's 257th play counts as its first again.
    runTicks(p.get(), 2 * 255 - 1);
    EXPECT_EQ(p->loopCount, 255);
    playerTick(p.get());
    EXPECT_EQ(p->loopCount, 0);
    EXPECT_FALSE(loopLimitSilences(p.get()));
}

TEST(Sequencer, InstrumentAndKeymapChecks) {
    XmModule m = moduleWithSample(constantSample(100, 50));
    m.tempo = 1;
    m.instruments[0].keymap[20] = 3; // note 21 maps to a sample that does not exist
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    m.cell(0, 1, 0) = {21, 1, 0, 0, 0};
    m.cell(0, 2, 0) = {49, 9, 0, 0, 0}; // instrument above the count
    m.cell(0, 3, 0) = {49, 0, 0, 0, 0}; // note without instrument: stays silent
    PlayerPtr p = createPlayer(m.build());
    PlayerChannel& c = p->channels[0];
    playerTick(p.get());
    EXPECT_EQ(c.volume, 1.0f);
    ASSERT_NE(c.sample, nullptr);
    EXPECT_FLOAT_EQ(c.note, 48.0f);
    EXPECT_FLOAT_EQ(c.period, 4608.0f);
    const SamplePosition position = c.position;
    playerTick(p.get());
    EXPECT_EQ(c.volume, 0.0f);
    EXPECT_NE(c.sample, nullptr); // the old voice keeps running, silent
    EXPECT_EQ(c.position, position);
    playerTick(p.get());
    EXPECT_EQ(c.instrument, nullptr);
    EXPECT_EQ(c.sample, nullptr);
    playerTick(p.get());
    EXPECT_EQ(c.sample, nullptr);
    EXPECT_EQ(c.volume, 0.0f);
}

TEST(Sequencer, ToneGlideCellsDoNotRestartTheSample) {
    XmSample s = constantSample(10000, 50);
    s.volume = 40;
    s.panning = 200;
    XmModule m = moduleWithSample(s);
    XmSample other = constantSample(10000, 20);
    other.volume = 10;
    other.panning = 30;
    m.instruments.push_back(singleSampleInstrument(other));
    m.tempo = 1;
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    m.cell(0, 3, 0) = {61, 0, 0, 0x03, 0x10}; // 3xx: glide target only
    m.cell(0, 4, 0) = {0, 0, 0x30, 0, 0};     // volume 0x30 - 0x10 = 32/64
    m.cell(0, 5, 0) = {25, 2, 0, 0x05, 0x00}; // instrument 2 + 5xy: the old one is kept
    m.cell(0, 6, 0) = {37, 0, 0xF0, 0, 0};    // volume column Fx is a glide cell too
    PlayerPtr p = createPlayer(m.build());
    PlayerChannel& c = p->channels[0];
    playerTick(p.get());
    c.position = positionOf(123); // as if the voice had played on
    runTicks(p.get(), 3);
    EXPECT_EQ(c.position, positionOf(123));
    EXPECT_FLOAT_EQ(c.tonePortamentoTarget, 7680.0f - 64.0f * 60.0f);
    EXPECT_FLOAT_EQ(c.origNote, 48.0f);
    EXPECT_FLOAT_EQ(c.period, 4608.0f);
    playerTick(p.get());
    EXPECT_EQ(c.volume, 0.5f);
    const ModuleInstrument* playing = c.instrument;
    c.panning = 0.1f;
    c.volumeEnvelopeFrame = c.panningEnvelopeFrame = 9;
    c.fadeoutVolume = 0.5f;
    c.sustained = 0;
    playerTick(p.get());
    EXPECT_EQ(c.instrument, playing);
    EXPECT_EQ(c.volume, 40.0f / 64.0f); // volume and panning of the playing sample
    EXPECT_EQ(c.panning, 200.0f / 255.0f);
    EXPECT_EQ(c.volumeEnvelopeFrame + c.panningEnvelopeFrame, 0);
    EXPECT_EQ(c.fadeoutVolume, 1.0f);
    EXPECT_EQ(c.sustained, 1);
    EXPECT_EQ(c.position, positionOf(123));
    EXPECT_FLOAT_EQ(c.tonePortamentoTarget, 7680.0f - 64.0f * 24.0f);
    playerTick(p.get());
    EXPECT_FLOAT_EQ(c.tonePortamentoTarget, 7680.0f - 64.0f * 36.0f);
    EXPECT_EQ(c.position, positionOf(123));
}

TEST(Sequencer, InstrumentWithoutNoteResetsVolumeAndEnvelopes) {
    XmSample s = constantSample(10000, 50);
    s.volume = 40;
    XmModule m = moduleWithSample(s);
    m.tempo = 1;
    m.cell(0, 0, 0) = {49, 1, 0x20, 0, 0};
    m.cell(0, 2, 0) = {0, 1, 0, 0, 0};
    PlayerPtr p = createPlayer(m.build());
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 2);
    EXPECT_EQ(c.volume, 16.0f / 64.0f);
    c.position = positionOf(77);
    playerTick(p.get());
    EXPECT_EQ(c.volume, 40.0f / 64.0f);
    EXPECT_EQ(c.position, positionOf(77)); // position kept
}

TEST(Sequencer, KeyOffReleasesEnvelopesOrCutsTheVolume) {
    XmModule m = moduleWithSample(constantSample(10000, 50), 2);
    XmInstrument withEnvelope = singleSampleInstrument(constantSample(10000, 50));
    withEnvelope.volumeEnvelope.points = {{0, 64}, {4, 64}};
    withEnvelope.volumeEnvelope.type = 3;
    withEnvelope.volumeEnvelope.sustain = 1;
    withEnvelope.fadeout = 1024;
    m.instruments.push_back(withEnvelope);
    m.tempo = 1;
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    m.cell(0, 0, 1) = {49, 2, 0, 0, 0};
    m.cell(0, 1, 0) = {97, 0, 0, 0, 0};
    m.cell(0, 1, 1) = {97, 0, 0, 0, 0};
    PlayerPtr p = createPlayer(m.build());
    runTicks(p.get(), 2);
    EXPECT_EQ(p->channels[0].volume, 0.0f);
    EXPECT_EQ(p->channels[1].volume, 1.0f);
    EXPECT_EQ(p->channels[1].sustained, 0);
    EXPECT_FLOAT_EQ(p->channels[1].fadeoutVolume, 1.0f - 1024.0f / 32768.0f);
}
