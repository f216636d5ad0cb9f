// The grouped mixing of steady voices against the frame-by-frame definition, for every loop
// type, 8- and 16-bit data, steps from tiny to huge and positions at and around loop points.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "music/voice.h"
#include "music/voice_group.h"

namespace {

uint32_t nextRandom(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

struct TestVoice {
    ModuleInstrument instrument{};
    std::vector<int16_t> wide;
    std::vector<int8_t> narrow;
    ModuleSample sample{};
    PlayerChannel channel{};
};

void setUpVoice(TestVoice* v, uint32_t* rng) {
    const uint32_t length = 2 + nextRandom(rng) % 2000;
    const bool sixteenBit = nextRandom(rng) % 2 == 0;
    for (uint32_t i = 0; i < length; ++i) {
        const uint32_t r = nextRandom(rng);
        v->wide.push_back(static_cast<int16_t>(r));
        v->narrow.push_back(static_cast<int8_t>(r));
    }
    ModuleSample& s = v->sample;
    s.bits = sixteenBit ? 16 : 8;
    s.data = sixteenBit ? static_cast<void*>(v->wide.data()) : static_cast<void*>(v->narrow.data());
    s.length = length;
    s.loopType = static_cast<LoopType>(nextRandom(rng) % 3);
    s.loopStart = nextRandom(rng) % length;
    // Half the loops end on the sample's end, where a ping-pong loop turns on the last frame.
    s.loopEnd = nextRandom(rng) % 2 == 0
                    ? length
                    : s.loopStart + 1 + nextRandom(rng) % (length - s.loopStart);
    s.loopLength = s.loopEnd - s.loopStart;

    // 3 x 2^-14 lies exactly half-way between two spacings of positions in 1024..2047.
    const float steps[] = {0.0f,  1e-4f,  3.1e-4f, 1.8310546875e-4f, 0.0372f, 0.5f, 1.0f,
                           1.37f, 3.999f, 47.3f,   1000.5f};
    PlayerChannel& c = v->channel;
    c.instrument = &v->instrument;
    c.sample = &s;
    c.step = steps[nextRandom(rng) % 11];
    c.pingForward = static_cast<uint8_t>(nextRandom(rng) % 2);
    const float points[] = {0.0f, static_cast<float>(s.loopStart), static_cast<float>(s.loopEnd),
                            static_cast<float>(length)};
    // Some runs reach a loop point within a few frames, others after many frames of rounded
    // additions: with steps far below a position's ulp, each one moves it by a rounded step.
    const uint32_t framesBefore =
        nextRandom(rng) % 2 == 0 ? nextRandom(rng) % 4 : nextRandom(rng) % 2000;
    const float at = points[nextRandom(rng) % 4] - c.step * static_cast<float>(framesBefore);
    c.position = nextRandom(rng) % 2 == 0 ? static_cast<float>(nextRandom(rng) % length) +
                                                static_cast<float>(nextRandom(rng) % 1000) / 1000.0f
                                          : (at >= 0.0f ? at : 0.0f);
    c.rampFrame = kCrossfadeFrames;
    for (int k = 0; k < 2; ++k) {
        c.actualVolume[k] = static_cast<float>(nextRandom(rng) % 1000) / 997.0f;
        c.targetVolume[k] = c.actualVolume[k];
    }
}

} // namespace

TEST(SteadyGroup, MatchesFrameByFrameMixingAcrossLoopPointsTurnsAndEnds) {
    uint32_t rng = 20261207u;
    for (int trial = 0; trial < 600; ++trial) {
        const int count = 1 + trial % kGroupVoices;
        TestVoice voices[kGroupVoices];
        PlayerChannel reference[kGroupVoices];
        for (int k = 0; k < count; ++k) {
            setUpVoice(&voices[k], &rng);
            reference[k] = voices[k].channel;
        }
        const uint32_t frames = 1 + nextRandom(&rng) % 1500;
        std::vector<float> expected(2 * frames);
        for (float& x : expected) {
            x = static_cast<float>(static_cast<int>(nextRandom(&rng) % 2001) - 1000) / 37.0f;
        }
        std::vector<float> actual = expected;

        for (uint32_t f = 0; f < frames; ++f) {
            float left = expected[2 * f];
            float right = expected[2 * f + 1];
            for (int k = 0; k < count; ++k) {
                PlayerChannel* c = &reference[k];
                if (!voiceActive(c)) {
                    continue;
                }
                const float value = nextVoiceSample(c);
                left += value * c->actualVolume[0];
                right += value * c->actualVolume[1];
                ++c->rampFrame;
            }
            expected[2 * f] = left;
            expected[2 * f + 1] = right;
        }

        // In uneven parts, as between ticks; voices that stopped are left out of later parts.
        for (uint32_t done = 0; done < frames;) {
            const uint32_t n = std::min(frames - done, 1 + nextRandom(&rng) % 700);
            PlayerChannel* active[kGroupVoices];
            int activeCount = 0;
            for (int k = 0; k < count; ++k) {
                if (voiceActive(&voices[k].channel)) {
                    active[activeCount++] = &voices[k].channel;
                }
            }
            if (activeCount > 0) {
                mixSteadyGroup(active, activeCount, actual.data() + 2 * done, n);
            }
            done += n;
        }

        for (int k = 0; k < count; ++k) {
            ASSERT_EQ(std::memcmp(&voices[k].channel.position, &reference[k].position, 4), 0)
                << "trial " << trial << " voice " << k;
            ASSERT_EQ(voices[k].channel.pingForward, reference[k].pingForward);
            if (voiceActive(&reference[k])) {
                ASSERT_EQ(voices[k].channel.rampFrame, reference[k].rampFrame);
            }
        }
        ASSERT_EQ(std::memcmp(expected.data(), actual.data(), 4 * expected.size()), 0)
            << "trial " << trial;
    }
}
