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

TEST(SyncTimeline, ModeShapesAtTheMiddleOfASegment) {
    // A segment of 17 rows is one second; at time 0.501 the blend factor is exactly 0.5.
    struct Case {
        std::int32_t mode;
        float expected;
    } cases[] = {{Step, 0.0f},       {Linear, 0.5f}, {Smooth, 0.5f}, {Quadratic, 0.25f},
                 {Quartic, 0.0625f}, {7, 0.0f},      {-3, 0.0f}};
    for (const Case& c : cases) {
        SyncTimeline t = showTimeline();
        t.appendKey(0, 0, 0.0f, c.mode);
        t.appendKey(0, 17, 1.0f, Step);
        EXPECT_NEAR(t.evaluate(0, 0.501f), c.expected, 1e-6f) << "mode " << c.mode;
    }
}

TEST(SyncTimeline, BlendIsFormedInDoubleAndRoundedOnce) {
    // Over many times, the value must equal (1 - k) * from in double plus k * to in float,
    // rounded once, and must differ from an all-float blend somewhere.
    SyncTimeline t = showTimeline();
    const float from = 0.1f, to = 13.7f;
    t.appendKey(0, 0, from, Linear);
    t.appendKey(0, 170, to, Linear);
    const float rate = 17.0f;
    const float t0 = 0.0f / rate + 0.001f, t1 = 170.0f / rate + 0.001f;
    int floatDiffers = 0;
    for (int i = 1; i < 2000; ++i) {
        float time = i * 0.005f;
        float c = (time - t0) / (t1 - t0);
        float expected = static_cast<float>((1.0 - double(c)) * double(from) + double(c * to));
        float allFloat = (1.0f - c) * from + c * to;
        ASSERT_EQ(t.evaluate(0, time), expected) << "time " << time;
        floatDiffers += allFloat != expected;
    }
    EXPECT_GT(floatDiffers, 0);
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

TEST(SyncTimeline, ResizingKeepsAndFreesTracks) {
    SyncTimeline t = showTimeline(3);
    t.appendKey(2, 0, 4.0f, Step);
    t.resizeTracks(31);
    EXPECT_EQ(t.tracks.size(), 31u);
    EXPECT_EQ(t.evaluate(2, 1.0f), 4.0f);
    EXPECT_EQ(t.tracks[30].keys.size(), 0u);
    EXPECT_EQ(t.tracks[30].name[0], '\0');
    t.resizeTracks(1);
    EXPECT_EQ(t.tracks.size(), 1u);
    t.freeTracks();
    EXPECT_TRUE(t.tracks.empty());
}

} // namespace
