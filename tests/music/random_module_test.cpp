// Hostile but well-formed modules from the random generator, mixed by the mixer's fast loops
// and frame by frame as defined: the two must agree bit for bit, and under the sanitizers
// neither may read outside a sample. The seeds are fixed, in blocks of 300 (one CTest case
// each); a failure names its seed, and
//   QUAVEL_MODULE_SEED=<seed> music_tests --gtest_filter='*RandomModules*'
// replays that module alone.
#include <gtest/gtest.h>

#include <cstdlib>

#include "frame_by_frame.h"
#include "random_module.h"

using namespace xmtest;

namespace {

// Blocks of seeds to run: fewer under the sanitizers, which are many times slower.
#ifndef QUAVEL_RANDOM_MODULE_BLOCKS
#define QUAVEL_RANDOM_MODULE_BLOCKS 10
#endif
constexpr uint32_t kSeedsPerBlock = 300;

class RandomModules : public testing::TestWithParam<uint32_t> {};

} // namespace

TEST_P(RandomModules, MixLikeFrameByFrameAtRatesFrom8To192kHz) {
    uint32_t first = 1 + GetParam() * kSeedsPerBlock;
    uint32_t count = kSeedsPerBlock;
    if (const char* replay = std::getenv("QUAVEL_MODULE_SEED")) {
        if (GetParam() != 0) {
            GTEST_SKIP();
        }
        first = static_cast<uint32_t>(std::strtoul(replay, nullptr, 10));
        count = 1;
    }
    constexpr auto kRates = static_cast<uint32_t>(std::size(kRandomModuleRates));
    uint32_t sounding = 0;
    for (uint32_t seed = first; seed < first + count; ++seed) {
        SeededChoices choices(seed);
        const std::vector<uint8_t> bytes = randomModule(choices).build();
        // Each module at two rates, so that every rate meets every kind of module.
        for (uint32_t k : {seed % kRates, (seed / kRates + seed + 1) % kRates}) {
            const uint32_t rate = kRandomModuleRates[k];
            // Half a second: 20 to 100 ticks at the usual tempos.
            const MixingComparison c =
                compareWithFrameByFrame(bytes, rate, rate / 2, static_cast<uint8_t>(seed % 3));
            ASSERT_TRUE(c.loaded) << "seed " << seed;
            ASSERT_TRUE(c.same()) << "seed " << seed << " at " << rate << " Hz: frame "
                                  << c.firstDifference / 2 << ", " << c.expected[c.firstDifference]
                                  << " != " << c.mixed[c.firstDifference]
                                  << "; replay with QUAVEL_MODULE_SEED=" << seed;
            bool sound = false;
            for (float v : c.mixed) {
                sound = sound || v != 0.0f;
            }
            sounding += sound ? 1 : 0;
        }
    }
    // Most modules must make sound, or the comparison proves little.
    EXPECT_TRUE(count == 1 || sounding >= count * 2 * 7 / 10) << sounding;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomModules,
                         testing::Range(0u, QUAVEL_RANDOM_MODULE_BLOCKS + 0u));
