#include <gtest/gtest.h>

#include <cmath>

#include "music/periods.h"
#include "player_test_support.h"

using namespace xmtest;

namespace {

PlayerPtr playerWithTable(bool linear) {
    XmModule m;
    m.linear = linear;
    m.addPattern(1);
    return createPlayer(m.build());
}

} // namespace

TEST(Periods, AmigaTableNotes) {
    EXPECT_FLOAT_EQ(amigaNotePeriod(48.0f), 428.0f);
    EXPECT_FLOAT_EQ(amigaNotePeriod(49.0f), 404.0f);
    EXPECT_FLOAT_EQ(amigaNotePeriod(13.5f), 1570.5f * 2); // notes 12..23: shift -1 doubles
    EXPECT_FLOAT_EQ(amigaNotePeriod(6.0f), 1209.0f * 4);  // notes 0..11: shift -2
    EXPECT_FLOAT_EQ(amigaNotePeriod(-0.5f), (907.0f + 0.5f * (856.0f - 907.0f)) * 8); // below 0
    EXPECT_FLOAT_EQ(amigaNotePeriod(60.0f), 214.0f);
    EXPECT_FLOAT_EQ(amigaNotePeriod(48.25f), 428.0f + 0.25f * (404.0f - 428.0f));
    // Notes far below or above every octave stay defined.
    EXPECT_TRUE(std::isfinite(amigaNotePeriod(-140.0f)));
    EXPECT_TRUE(std::isfinite(amigaNotePeriod(1e30f)));
    EXPECT_TRUE(std::isfinite(amigaNotePeriod(std::nanf(""))));
}

TEST(Periods, LinearTableNotesAndFrequencies) {
    PlayerPtr p = playerWithTable(true);
    EXPECT_FLOAT_EQ(notePeriod(p.get(), 48.0f), 4608.0f);
    EXPECT_FLOAT_EQ(notePeriod(p.get(), 0.0f), 7680.0f);
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 4608.0f, 0, 0.0f), 8363.0f);
    // An octave up by period, by arpeggio (12 semitones) or by vibrato (-768 period units).
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 4608.0f - 768.0f, 0, 0.0f), 2 * 8363.0f);
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 4608.0f, 12, 0.0f), 2 * 8363.0f);
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 4608.0f, 0, -768.0f), 2 * 8363.0f);
}

TEST(Periods, AmigaFrequencies) {
    PlayerPtr p = playerWithTable(false);
    EXPECT_FLOAT_EQ(notePeriod(p.get(), 48.0f), 428.0f);
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 428.0f, 0, 0.0f), 7158728.0f / 856.0f);
    // The vibrato offset counts quarter periods under the Amiga table.
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 428.0f, 0, 16.0f), 7158728.0f / (2.0f * 432.0f));
    EXPECT_EQ(periodFrequency(p.get(), 0.0f, 0, 0.0f), 0.0f);
    // An arpeggio converts back to notes: period 428 (note 48) plus 1 semitone is note 49.
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 428.0f, 1, 0.0f), 7158728.0f / (2.0f * 404.0f));
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 428.0f, 12, 0.0f), 7158728.0f / (2.0f * 214.0f));
    // Periods above and below the table's octave find their octave by shifting.
    // Note 12 + 7 = 19 is table entry 7 shifted left by 1 (1141 x 2); note 72 + 4 = 76 is entry
    // 4 shifted right by 4 (1357 / 16).
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 3424.0f, 7, 0.0f), 7158728.0f / (2.0f * 2282.0f));
    EXPECT_FLOAT_EQ(periodFrequency(p.get(), 107.0f, 4, 0.0f), 7158728.0f / (2.0f * 84.8125f));
    // A period of 0 or one past every table entry still gives a number.
    EXPECT_TRUE(std::isfinite(periodFrequency(p.get(), 0.0f, 3, 0.0f)));
    EXPECT_TRUE(std::isfinite(periodFrequency(p.get(), 1e20f, 3, 0.0f)));
}

TEST(Periods, RefreshFrequencyKeepsTheStepFinite) {
    PlayerPtr p = playerWithTable(false);
    PlayerChannel& c = p->channels[0];
    c.period = 428.0f;
    refreshFrequency(p.get(), &c);
    EXPECT_NEAR(framesOf(c.step), 7158728.0 / 856.0 / 44100.0, 1e-7);
    c.period = 1e-40f; // a denormal period: the frequency overflows
    refreshFrequency(p.get(), &c);
    EXPECT_EQ(c.step, 0);
}
