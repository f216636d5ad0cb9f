#include "params/sync_timeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The show's grid: 127.5 beats a minute at 8 rows a beat is 17 rows a second.
SyncTimeline showTimeline(std::size_t tracks = 1) {
    SyncTimeline t;
    t.bpm = 127.5f;
    t.rowsPerBeat = 8;
    t.resizeTracks(tracks);
    return t;
}

TEST(SyncTimeline, EmptyTrackAndTimeBeforeTheFirstKeyGiveZero) {
    SyncTimeline t = showTimeline(2);
    EXPECT_EQ(t.evaluate(0, 0.0f), 0.0f);
    EXPECT_EQ(t.evaluate(0, 100.0f), 0.0f);

    t.appendKey(1, 193, 0.8f, Step);
    EXPECT_EQ(t.evaluate(1, 193.0f / 17.0f - 0.01f), 0.0f);
    EXPECT_EQ(t.evaluate(1, 193.0f / 17.0f + 0.01f), 0.8f);
    EXPECT_EQ(t.evaluate(1, 300.0f), 0.8f);
}

TEST(SyncTimeline, LinearSegmentCarriesTheOneMillisecondOffset) {
    SyncTimeline t = showTimeline();
    t.appendKey(0, 0, 0.0f, Linear);
    t.appendKey(0, 17, 1.0f, Linear);
    // c = (0.5 - 0.001) / 1.0
    EXPECT_FLOAT_EQ(t.evaluate(0, 0.5f), 0.499f);
    // Exactly at the key's own time the segment has not started yet: it overshoots away from
    // the next value.
    EXPECT_NEAR(t.evaluate(0, 0.0f), -0.001f, 1e-7f);
    EXPECT_LT(t.evaluate(0, 0.0f), 0.0f);
}

TEST(SyncTimeline, EveryModeHoldsTheLastKeyForEver) {
    const std::int32_t modes[] = {Step, Linear, Smooth, Quadratic, Quartic, 5, -1};
    for (std::int32_t mode : modes) {
        SyncTimeline t = showTimeline();
        t.appendKey(0, 0, 2.0f, mode);
        t.appendKey(0, 34, 7.25f, mode);
        EXPECT_EQ(t.evaluate(0, 2.0f + 0.0005f), 7.25f) << "mode " << mode;
        EXPECT_EQ(t.evaluate(0, 500.0f), 7.25f) << "mode " << mode;
    }
}

TEST(SyncTimeline, EveryModeAtPointsWhereTheCurvesDiffer) {
    // One second from 0.3 down to 0.1; the times give c = 0.02, 0.25, 0.75 and 0.98. At 0.25
    // by hand: Smooth 3c^2 - 2c^3 = 0.15625 gives 0.26875, Quartic 1/256 gives 0.29921875;
    // at 0.75 Quadratic 0.5625 gives 0.1875. The values are exact to the bit: (1 - k) * from is
    // formed in double, k * to in float, and the sum rounded once (an all-float blend differs
    // in eight of these sixteen places).
    struct Case {
        float time;
        float byMode[5]; // Step, Linear, Smooth, Quadratic, Quartic
    } cases[] = {
        {0.021f, {0.300000012f, 0.296000004f, 0.299763203f, 0.299920022f, 0.299999982f}},
        {0.251f, {0.300000012f, 0.25f, 0.268750012f, 0.287500024f, 0.299218774f}},
        {0.751f, {0.300000012f, 0.150000006f, 0.131250009f, 0.1875f, 0.236718759f}},
        {0.981f, {0.300000012f, 0.104000002f, 0.100236803f, 0.107919991f, 0.115526356f}},
    };
    const std::int32_t modes[] = {Step, Linear, Smooth, Quadratic, Quartic, 5, -1};
    for (std::int32_t mode : modes) {
        SyncTimeline t = showTimeline();
        t.appendKey(0, 0, 0.3f, mode);
        t.appendKey(0, 17, 0.1f, Step);
        const int column = mode >= Step && mode <= Quartic ? mode : Step;
        for (const Case& c : cases)
            EXPECT_EQ(t.evaluate(0, c.time), c.byMode[column])
                << "mode " << mode << " at " << c.time;
    }
}

TEST(SyncTimeline, KeysOutOfOrderOrOnOneRowFollowTheWalk) {
    SyncTimeline t = showTimeline();
    t.appendKey(0, 10, 1.0f, Step);
    t.appendKey(0, 5, 2.0f, Step);
    t.appendKey(0, 20, 3.0f, Step);
    // Row 7: the first key is already above it, so nothing precedes the time.
    EXPECT_EQ(t.evaluate(0, 7.0f / 17.0f), 0.0f);
    // Row 12: the walk passes 10 and 5 and stops at 20; the latest key passed wins.
    EXPECT_EQ(t.evaluate(0, 12.0f / 17.0f + 0.01f), 2.0f);

    SyncTimeline d = showTimeline();
    d.appendKey(0, 4, 1.0f, Linear);
    d.appendKey(0, 4, 9.0f, Linear);
    EXPECT_EQ(d.evaluate(0, 1.0f), 9.0f);
    EXPECT_EQ(d.evaluate(0, 100.0f), 9.0f);
}

TEST(SyncTimeline, NonFiniteAndNegativeTimesStayInBounds) {
    SyncTimeline t = showTimeline();
    t.appendKey(0, 0, 1.0f, Linear);
    t.appendKey(0, 10, 2.0f, Step);
    EXPECT_NO_FATAL_FAILURE(t.evaluate(0, NAN));
    EXPECT_EQ(t.evaluate(0, INFINITY), 2.0f);
    // A negative time wraps to a huge unsigned row: the track holds its last value.
    EXPECT_EQ(t.evaluate(0, -1.0f), 2.0f);
}

} // namespace
