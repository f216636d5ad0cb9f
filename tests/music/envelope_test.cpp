#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "music/envelopes.h"

namespace {

Envelope makeEnvelope(std::initializer_list<EnvelopePoint> points) {
    Envelope e{};
    int k = 0;
    for (const EnvelopePoint& p : points) {
        e.points[k++] = p;
    }
    e.pointCount = static_cast<uint8_t>(k);
    e.enabled = 1;
    return e;
}

std::vector<float> run(const Envelope& e, int ticks, bool sustained, uint16_t frame = 0) {
    std::vector<float> values;
    float value = -1.0f;
    for (int i = 0; i < ticks; ++i) {
        tickEnvelope(&e, &frame, &value, sustained);
        values.push_back(value);
    }
    return values;
}

} // namespace

TEST(Envelope, InterpolatesBetweenPointsAndHoldsTheLast) {
    Envelope e = makeEnvelope({{0, 64}, {4, 0}, {6, 32}});
    EXPECT_THAT(run(e, 9, false),
                testing::Pointwise(testing::FloatEq(),
                                   {1.0f, 0.75f, 0.5f, 0.25f, 0.0f, 0.25f, 0.5f, 0.5f, 0.5f}));
}

TEST(Envelope, SinglePointAndEmptyEnvelopes) {
    Envelope one = makeEnvelope({{5, 80}});
    uint16_t frame = 3;
    float value = 0.0f;
    tickEnvelope(&one, &frame, &value, true);
    EXPECT_EQ(value, 1.0f); // at most 1
    EXPECT_EQ(frame, 3);
    one.points[0].value = 16;
    tickEnvelope(&one, &frame, &value, true);
    EXPECT_EQ(value, 0.25f);

    Envelope none = makeEnvelope({});
    value = 0.7f;
    tickEnvelope(&none, &frame, &value, true);
    EXPECT_EQ(value, 0.7f);
}

TEST(Envelope, SustainHoldsUntilKeyOffThenLoops) {
    Envelope e = makeEnvelope({{0, 0}, {2, 64}, {4, 32}});
    e.sustainEnabled = 1;
    e.sustainPoint = 1;
    e.loopEnabled = 1;
    e.loopStart = 1;
    e.loopEnd = 2;
    uint16_t frame = 0;
    float value = 0.0f;
    for (int i = 0; i < 10; ++i) {
        tickEnvelope(&e, &frame, &value, true);
    }
    EXPECT_EQ(frame, 2);
    EXPECT_EQ(value, 1.0f);
    // Released: it runs to the loop end (frame 4) and jumps back to the loop start (frame 2).
    EXPECT_THAT(run(e, 6, false, frame),
                testing::Pointwise(testing::FloatEq(), {1.0f, 0.75f, 1.0f, 0.75f, 1.0f, 0.75f}));
}

TEST(Envelope, SustainPointBeyondThePointsHoldsNowhere) {
    Envelope e = makeEnvelope({{0, 0}, {8, 64}});
    e.sustainEnabled = 1;
    for (uint8_t sustain : {2, 11, 12, 200, 255}) {
        e.sustainPoint = sustain;
        uint16_t frame = 0;
        float value = 0.0f;
        for (int i = 0; i < 5; ++i) {
            tickEnvelope(&e, &frame, &value, true);
        }
        EXPECT_EQ(frame, 5) << int(sustain);
    }
}

TEST(Envelope, EqualAndDescendingFramesNeverDivideByZero) {
    Envelope e = makeEnvelope({{3, 64}, {3, 0}, {1, 32}, {1, 16}});
    for (float v : run(e, 8, false)) {
        EXPECT_TRUE(std::isfinite(v));
    }
}

TEST(Envelope, FadeoutRunsOnlyAfterKeyOffWithAVolumeEnvelope) {
    ModuleInstrument instrument{};
    instrument.fadeout = 4096;
    instrument.volumeEnvelope = makeEnvelope({{0, 64}, {100, 64}});
    PlayerChannel c{};
    c.instrument = &instrument;
    c.fadeoutVolume = 1.0f;
    c.sustained = 1;
    tickEnvelopes(&c);
    EXPECT_EQ(c.fadeoutVolume, 1.0f);
    c.sustained = 0;
    for (int i = 0; i < 3; ++i) {
        tickEnvelopes(&c);
    }
    EXPECT_FLOAT_EQ(c.fadeoutVolume, 1.0f - 3 * 0.125f);
    for (int i = 0; i < 10; ++i) {
        tickEnvelopes(&c);
    }
    EXPECT_EQ(c.fadeoutVolume, 0.0f);

    instrument.volumeEnvelope.enabled = 0;
    c.fadeoutVolume = 1.0f;
    tickEnvelopes(&c);
    EXPECT_EQ(c.fadeoutVolume, 1.0f);
}
