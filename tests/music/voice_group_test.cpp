// The grouped mixing of steady voices against the frame-by-frame definition, for every loop
// type, 8- and 16-bit data, steps from the finest to huge and positions at and around loop
// points.
#include <gtest/gtest.h>

#include <cmath>
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
    // Every sample's data has four readable bytes after it, as in the player's block.
    v->wide.resize(length + 4);
    v->narrow.resize(length + 4);
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
    // Halving a 16-bit loop of an odd byte length leaves it a frame short of end - start.
    if (sixteenBit && s.loopLength > 1 && nextRandom(rng) % 4 == 0) {
        --s.loopLength;
    }

    // Steps from 2^-32 (the finest) to far past a whole sample per frame.
    const double steps[] = {
        0.0, 1.0 / 4294967296.0, 1e-4, 3.1e-4, 0.0372, 0.5, 1.0, 1.37, 3.999, 47.3, 1000.5};
    PlayerChannel& c = v->channel;
    c.instrument = &v->instrument;
    c.sample = &s;
    const double step = steps[nextRandom(rng) % 11];
    c.step = static_cast<SamplePosition>(std::llround(step * 4294967296.0));
    c.pingForward = static_cast<uint8_t>(nextRandom(rng) % 2);
    const double points[] = {0.0, static_cast<double>(s.loopStart), static_cast<double>(s.loopEnd),
                             static_cast<double>(length)};
    // Some runs reach a loop point within a few frames, others after many frames.
    const uint32_t framesBefore =
        nextRandom(rng) % 2 == 0 ? nextRandom(rng) % 4 : nextRandom(rng) % 2000;
    const SamplePosition at = framePosition(static_cast<uint32_t>(points[nextRandom(rng) % 4])) -
                              c.step * static_cast<SamplePosition>(framesBefore);
    c.position = nextRandom(rng) % 2 == 0
                     ? framePosition(nextRandom(rng) % length) +
                           static_cast<SamplePosition>(nextRandom(rng) % 1000) * (kOneFrame / 1000)
                     : (at >= 0 ? at : 0);
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
            ASSERT_EQ(voices[k].channel.position, reference[k].position)
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
