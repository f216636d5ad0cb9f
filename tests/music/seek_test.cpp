// Skipping frames must leave the player exactly where playing them leaves it: a seek followed
// by rendering gives the same bits as a player that played through.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "player_test_support.h"

namespace {

using namespace xmtest;

XmSample shapedSample(int length, int loopBits, bool sixteenBit) {
    XmSample s;
    s.sixteenBit = sixteenBit;
    for (int i = 0; i < length; ++i) {
        s.values.push_back(static_cast<int16_t>(std::sin(i * 0.07) * (sixteenBit ? 20000 : 100)));
    }
    s.loopBits = static_cast<uint8_t>(loopBits);
    s.loopStart = loopBits != 0 ? static_cast<uint32_t>(length / 4) : 0;
    s.loopLength = loopBits != 0 ? static_cast<uint32_t>(length / 2) : 0;
    return s;
}

// Three channels over two patterns: a ping-pong 16-bit voice with a volume slide, a one-shot
// 8-bit voice that ends and restarts (crossfades), a forward loop with vibrato and panning.
std::vector<uint8_t> seekModule() {
    XmModule m;
    m.channels = 3;
    m.tempo = 5;
    m.bpm = 131;
    m.orders = {0, 1, 0};
    m.instruments.push_back(singleSampleInstrument(shapedSample(3000, 2, true)));
    m.instruments.push_back(singleSampleInstrument(shapedSample(1500, 0, false)));
    m.instruments.push_back(singleSampleInstrument(shapedSample(2200, 1, false)));
    for (int p = 0; p < 2; ++p) {
        m.addPattern(16);
        for (int r = 0; r < 16; ++r) {
            if (r % 8 == 0) {
                m.cell(p, r, 0) = {static_cast<uint8_t>(40 + p * 5), 1, 0, 0, 0};
            } else {
                m.cell(p, r, 0) = {0, 0, 0, 0x0A, static_cast<uint8_t>(p == 0 ? 0x02 : 0x20)};
            }
            if (r % 3 == 0) {
                m.cell(p, r, 1) = {static_cast<uint8_t>(50 + r), 2, 0, 0, 0};
            }
            if (r % 5 == 1) {
                m.cell(p, r, 2) = {static_cast<uint8_t>(45 + r % 7), 3, 0, 0x08,
                                   static_cast<uint8_t>(r * 16)};
            } else {
                m.cell(p, r, 2) = {0, 0, 0, 0x04, 0x46};
            }
        }
    }
    return m.build();
}

TEST(PlayerSeek, SkippedFramesRenderOnAsIfPlayed) {
    const std::vector<uint8_t> bytes = seekModule();
    constexpr uint32_t kAfter = 6000;
    // Points inside a tick, just after one, and past a pattern change and a voice's end.
    for (const uint64_t at : {1ull, 1234ull, 20197ull, 71113ull}) {
        PlayerPtr played = createPlayer(bytes);
        PlayerPtr skipped = createPlayer(bytes);
        ASSERT_TRUE(played && skipped);
        std::vector<float> through(2 * at);
        generateSamples(played.get(), through.data(), static_cast<uint32_t>(at));
        skipSamples(skipped.get(), at);
        EXPECT_EQ(skipped->currentOrder, played->currentOrder) << at;
        EXPECT_EQ(skipped->currentRow, played->currentRow) << at;

        std::vector<float> expected(2 * kAfter), actual(2 * kAfter);
        generateSamples(played.get(), expected.data(), kAfter);
        generateSamples(skipped.get(), actual.data(), kAfter);
        EXPECT_EQ(0, std::memcmp(expected.data(), actual.data(), sizeof(float) * expected.size()))
            << "output differs after a skip of " << at << " frames";
        float loudest = 0.0f;
        for (float v : expected) {
            loudest = std::fmax(loudest, std::fabs(v));
        }
        EXPECT_GT(loudest, 0.01f) << "the comparison needs sound: " << at;
    }
}

} // namespace
