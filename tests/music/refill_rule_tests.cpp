// The refill rule driven with made-up play positions: which ring slots each pass renders, and
// that afterwards every slot holds the song frame the device will play from it next.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "music/audio_refill.h"
#include "music/audio_test_module.h"
#include "music/module_player.h"
#include "music/xm_builder.h"

namespace {

using Calls = std::vector<std::pair<std::uint32_t, std::uint32_t>>; // (first slot, frames)

// Records where each render call writes, without a player.
struct RecordingRenderer {
    explicit RecordingRenderer(const float* ring) : ring(ring) {}
    AudioFrameRenderer renderer() {
        return [this](float* out, std::uint32_t frames) {
            calls.emplace_back(static_cast<std::uint32_t>(out - ring) / 2, frames);
        };
    }
    const float* ring;
    Calls calls;
};

TEST(AudioRefill, RendersUpToTheRingEndThenWrapsAndNothingWithoutProgress) {
    std::vector<float> ring(2 * kAudioRingFrames);
    RecordingRenderer recorder(ring.data());
    const AudioFrameRenderer render = recorder.renderer();

    std::uint32_t framesRendered = 4000;
    refillPlayedFrames(render, ring.data(), 5000, framesRendered);
    EXPECT_EQ(recorder.calls, (Calls{{4000, 96}, {0, 904}}));
    EXPECT_EQ(framesRendered, 5000u);

    recorder.calls.clear();
    refillPlayedFrames(render, ring.data(), 5000, framesRendered);
    refillPlayedFrames(render, ring.data(), 4999, framesRendered);
    EXPECT_TRUE(recorder.calls.empty()) << "a position that has not advanced renders nothing";
    EXPECT_EQ(framesRendered, 5000u);

    framesRendered = 0;
    refillPlayedFrames(render, ring.data(), 0, framesRendered);
    EXPECT_TRUE(recorder.calls.empty()) << "before the first write the position is 0";

    // A stall of more than a lap: every missed frame, in whole laps, then the rest.
    refillPlayedFrames(render, ring.data(), 10000, framesRendered);
    EXPECT_EQ(recorder.calls, (Calls{{0, 4096}, {0, 4096}, {0, 1808}}));
    EXPECT_EQ(framesRendered, 10000u);
}

class RingContents : public ::testing::Test {
protected:
    void SetUp() override {
        module = audiotest::audioTestModule();
        player = xmtest::createPlayer(module, 44100);
        ASSERT_NE(player, nullptr);
        setLoopLimit(player.get(), 1);
        offline = audiotest::renderOffline(module, 60000);
        ASSERT_EQ(offline.size(), 120000u);
        // A lap-off slot must show: the song may not repeat itself a ring length later.
        int differing = 0;
        for (std::uint32_t f = 4096; f < 8192; ++f)
            differing += offline[2 * f] != offline[2 * (f + kAudioRingFrames)];
        ASSERT_GT(differing, 4000);
        generateSamples(player.get(), ring.data(), kAudioRingFrames); // the pre-render
        ModulePlayer* raw = player.get();
        render = [raw](float* out, std::uint32_t frames) { generateSamples(raw, out, frames); };
    }

    // Song frame f plays from slot f mod 4096; the ring must hold frames [rendered, +4096).
    void expectRingHoldsNextLap(std::uint32_t framesRendered) {
        for (std::uint32_t f = framesRendered; f < framesRendered + kAudioRingFrames; ++f) {
            const std::uint32_t slot = f % kAudioRingFrames;
            ASSERT_EQ(ring[2 * slot], offline[2 * f]) << "slot " << slot << " song frame " << f;
            ASSERT_EQ(ring[2 * slot + 1], offline[2 * f + 1]) << "slot " << slot;
        }
    }

    std::vector<std::uint8_t> module;
    xmtest::PlayerPtr player;
    std::vector<float> offline;
    std::vector<float> ring = std::vector<float>(2 * kAudioRingFrames);
    AudioFrameRenderer render;
};

TEST_F(RingContents, IrregularPollsAndStallsKeepTheSongAtTheDevicePosition) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> step(0, 600);
    std::uint32_t played = 0;
    std::uint32_t framesRendered = 0;
    while (played < 50000) {
        // Mostly a 5 ms poll's worth, sometimes nothing, now and then a stall beyond a lap.
        played += (played % 7 == 3) ? 4096 + step(random) : step(random);
        refillPlayedFrames(render, ring.data(), played, framesRendered);
        ASSERT_EQ(framesRendered, played);
        expectRingHoldsNextLap(framesRendered);
    }
}

TEST(AudioClock, BytesBecomeSecondsOfWholeFrames) {
    EXPECT_EQ(audioSecondsFromBytes(0), 0.0f);
    EXPECT_EQ(audioSecondsFromBytes(16228800), 46.0f);
    EXPECT_EQ(audioSecondsFromBytes(16228807), 46.0f) << "a partial frame is dropped";
    EXPECT_EQ(audioSecondsFromBytes(368u * 352800u), 368.0f);
    EXPECT_LT(audioSecondsFromBytes(368u * 352800u - 8), 368.0f);
    EXPECT_EQ(audioSecondsFromBytes(352800), 1.0f);
}

} // namespace
