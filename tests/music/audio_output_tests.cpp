// The audio output against the wave-out device this machine has (the silent one where there
// is no sound card): start-up, a real run of the thread, and the ways start-up can fail.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "music/audio_output.h"
#include "music/audio_test_module.h"
#include "music/audio_thread.h"

namespace {

std::uint32_t devicePositionFrames(HWAVEOUT device) {
    MMTIME time{};
    time.wType = TIME_BYTES;
    waveOutGetPosition(device, &time, sizeof(time));
    return time.u.cb / kAudioBytesPerFrame;
}

TEST(AudioOutput, ThreadKeepsTheRingFilledWithTheSongAtTheDevicePosition) {
    const auto module = audiotest::audioTestModule();
    auto audio = std::make_unique<AudioOutput>();
    ASSERT_EQ(startAudioOutput(*audio, module.data(), module.size()), AudioStart::Playing);
    ASSERT_NE(audio->device, nullptr);
    EXPECT_TRUE(audio->firstWritePending);
    EXPECT_TRUE(audioThreadRunning(*audio));
    EXPECT_EQ(audio->header.dwBufferLength, 32768u);
    EXPECT_EQ(audio->header.dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_PREPARED),
              WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_PREPARED);

    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(devicePositionFrames(audio->device), 0u) << "nothing plays before the first write";
    submitFirstWrite(*audio);
    EXPECT_FALSE(audio->firstWritePending);
    submitFirstWrite(*audio); // written once only: a second write would be refused anyway

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    audio->stopRequested.store(true);
    audio->thread->thread.join();
    const std::uint32_t played = devicePositionFrames(audio->device);
    ASSERT_GT(played, 44100u);

    // After a pass that saw the device at frame P, the ring holds song frames P to P + 4095,
    // each in its slot. P is at most `played` and more than a ring behind it only if the thread
    // missed a whole lap; how far behind it is otherwise depends on how busy the machine is.
    const auto offline = audiotest::renderOffline(module, played + kAudioRingFrames);
    auto holds = [&](std::uint32_t f) {
        const std::uint32_t slot = f % kAudioRingFrames;
        return audio->buffer[2 * slot] == offline[2 * f] &&
               audio->buffer[2 * slot + 1] == offline[2 * f + 1];
    };
    std::uint32_t seen = played; // the earliest frame of the window that ends after `played`
    while (seen > played - kAudioRingFrames + 1 && holds(seen - 1))
        --seen;
    for (std::uint32_t f = seen; f < seen + kAudioRingFrames; ++f)
        ASSERT_TRUE(holds(f)) << "song frame " << f << " (the window starts at " << seen
                              << ", the device is at " << played << ")";

    stopAudioOutput(*audio);
    EXPECT_EQ(audio->device, nullptr);
    EXPECT_EQ(audio->player, nullptr);
}

// A seek while playing and held: the ring holds the song from the new frame, the clock counts
// from it, and the held device plays nothing until the resume; then a stop while playing.
TEST(AudioOutput, SeekRefillsPauseHoldsTheClockAndStopReleasesEverything) {
    const auto module = audiotest::audioTestModule();
    auto audio = std::make_unique<AudioOutput>();
    ASSERT_EQ(startAudioOutput(*audio, module.data(), module.size()), AudioStart::Playing);
    submitFirstWrite(*audio);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    constexpr std::uint32_t kTarget = 123457;
    pauseAudioOutput(*audio, true);
    ASSERT_TRUE(seekAudioOutput(*audio, kTarget));
    const auto offline = audiotest::renderOffline(module, kTarget + kAudioRingFrames);
    for (std::uint32_t f = 0; f < kAudioRingFrames; ++f) {
        ASSERT_EQ(audio->buffer[2 * f], offline[2 * (kTarget + f)]) << "ring frame " << f;
        ASSERT_EQ(audio->buffer[2 * f + 1], offline[2 * (kTarget + f) + 1]) << "ring frame " << f;
    }
    EXPECT_EQ(audioSongFrame(*audio), kTarget);
    submitFirstWrite(*audio);
    EXPECT_TRUE(audio->firstWritePending) << "a held device is not written to";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(audioSongFrame(*audio), kTarget) << "held: the clock stands";

    pauseAudioOutput(*audio, false);
    submitFirstWrite(*audio);
    EXPECT_FALSE(audio->firstWritePending);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::uint64_t now = audioSongFrame(*audio);
    EXPECT_GT(now, kTarget + 4410u);
    EXPECT_LT(now, kTarget + 44100u);

    // Stopping a running output ends the thread promptly and closes the device; a second stop
    // finds nothing to do.
    HWAVEOUT device = audio->device;
    const auto start = std::chrono::steady_clock::now();
    stopAudioOutput(*audio);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_FALSE(audioThreadRunning(*audio));
    EXPECT_EQ(audio->player, nullptr);
    MMTIME time{};
    time.wType = TIME_BYTES;
    EXPECT_EQ(waveOutGetPosition(device, &time, sizeof(time)),
              static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    stopAudioOutput(*audio);

    // An output destroyed while playing (the process ends without the show's shutdown) ends
    // its thread and closes its device, rather than aborting the process.
    auto unstopped = std::make_unique<AudioOutput>();
    ASSERT_EQ(startAudioOutput(*unstopped, module.data(), module.size()), AudioStart::Playing);
    unstopped.reset();
}

TEST(AudioOutput, AModuleThatWillNotLoadRunsSilentWithoutThreadOrDevice) {
    const std::string notAModule = "this is not an extended module";
    auto audio = std::make_unique<AudioOutput>();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(startAudioOutput(*audio, notAModule.data(), notAModule.size()), AudioStart::NoDevice);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("audio: the music module cannot be loaded"), std::string::npos) << said;
    EXPECT_EQ(audio->device, nullptr);
    EXPECT_EQ(audio->player, nullptr);
    EXPECT_FALSE(audioThreadRunning(*audio));
    EXPECT_FALSE(audio->firstWritePending);
    submitFirstWrite(*audio); // nothing pending: no call on a closed device
    stopAudioOutput(*audio);
}

} // namespace
