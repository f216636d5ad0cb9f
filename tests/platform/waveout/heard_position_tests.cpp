// The play position of an SDL device, with SDL's audio thread replaced by a timer on a fake
// clock: one 512-frame callback every 11.61 ms (with jitter), the position polled every ms.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/linux/waveout/sdl_wave_device.h"

namespace quavel::waveout {
namespace {

using std::chrono::microseconds;
using std::chrono::nanoseconds;

constexpr std::uint64_t kBytesPerSecond = 352800; // 44100 Hz float stereo
constexpr int kBlockBytes = 512 * 8;
constexpr nanoseconds kBlockTime{11609977}; // 512 / 44100 s

// A header over `bytes`, written to the device; looping forever when `loops`.
void writeHeader(SdlWaveDevice& device, WAVEHDR& header, std::vector<std::uint8_t>& bytes,
                 bool loops) {
    header = WAVEHDR{};
    header.lpData = reinterpret_cast<LPSTR>(bytes.data());
    header.dwBufferLength = static_cast<DWORD>(bytes.size());
    header.dwFlags = WHDR_PREPARED | (loops ? WHDR_BEGINLOOP | WHDR_ENDLOOP : 0);
    header.dwLoops = loops ? 0xFFFFFFFF : 0;
    device.write(&header);
}

struct PolledDevice {
    nanoseconds now{std::chrono::seconds(5)};
    WAVEFORMATEX format = [] {
        WAVEFORMATEX f{};
        f.nAvgBytesPerSec = kBytesPerSecond;
        f.nBlockAlign = 8;
        return f;
    }();
    SdlWaveDevice device{0, 0, format, kBlockBytes, [this] { return now; }};
    std::vector<std::uint8_t> stream = std::vector<std::uint8_t>(kBlockBytes);
    std::uint64_t taken = 0; // audio bytes the callbacks copied out of the headers

    // Runs the fake device for `duration`, polling every millisecond; calls `check(previous,
    // position)` on each poll. Callbacks come early and late by up to 1 ms in turn.
    template <class Check> void run(nanoseconds duration, std::uint64_t audioLength, Check check) {
        const nanoseconds end = now + duration;
        nanoseconds nextCallback = now;
        nanoseconds nextPoll = now;
        std::uint64_t previous = device.bytesPlayed();
        int callbacks = 0;
        while (now < end) {
            if (nextCallback <= nextPoll) {
                now = nextCallback;
                device.fill(stream.data(), kBlockBytes);
                taken = std::min<std::uint64_t>(taken + kBlockBytes, audioLength);
                ++callbacks;
                nextCallback += kBlockTime + microseconds(callbacks % 2 ? 900 : -900);
            } else {
                now = nextPoll;
                const std::uint64_t position = device.bytesPlayed();
                check(previous, position);
                previous = position;
                nextPoll += std::chrono::milliseconds(1);
            }
        }
    }
};

TEST(SdlWavePosition, AdvancesSmoothlyBehindWhatTheCallbackTookByTheLatency) {
    PolledDevice fake;
    std::vector<std::uint8_t> loop(32768);
    WAVEHDR header;
    writeHeader(fake.device, header, loop, true);

    std::uint64_t largestStep = 0;
    fake.run(std::chrono::seconds(2), UINT64_MAX, [&](std::uint64_t previous, std::uint64_t now) {
        ASSERT_GE(now, previous) << "the position never goes back";
        ASSERT_EQ(now % 8, 0u) << "whole sample frames";
        largestStep = std::max(largestStep, now - previous);
        ASSERT_LE(now + kBlockBytes, fake.taken)
            << "what is heard is at least the device's queue behind what SDL copied";
        ASSERT_GE(now + 3 * kBlockBytes, fake.taken) << "and not more than its jitter further";
    });
    // A millisecond is 352.8 bytes; a callback up to 0.9 ms early may add that much again.
    EXPECT_LE(largestStep, 2 * 360u) << "steps of a callback block are judder";
    // Two seconds of playing, less one block of latency, within a block.
    EXPECT_NEAR(static_cast<double>(fake.device.bytesPlayed()), 2.0 * kBytesPerSecond - kBlockBytes,
                kBlockBytes);
}

TEST(SdlWavePosition, AHeaderThatEndsIsHeardToItsLastByteAndResetStartsAgainAtZero) {
    PolledDevice fake;
    std::vector<std::uint8_t> bytes(10000);
    WAVEHDR header;
    writeHeader(fake.device, header, bytes, false);
    fake.run(std::chrono::milliseconds(100), 10000,
             [&](std::uint64_t, std::uint64_t now) { ASSERT_LE(now, fake.taken); });
    EXPECT_EQ(fake.device.bytesPlayed(), 10000u) << "the silence after it drains the queue";
    fake.device.reset();
    EXPECT_EQ(fake.device.bytesPlayed(), 0u);
    fake.run(std::chrono::milliseconds(50), 0, [](std::uint64_t previous, std::uint64_t now) {
        ASSERT_EQ(now, 0u) << "nothing written since the reset";
        ASSERT_EQ(previous, 0u);
    });
}

} // namespace
} // namespace quavel::waveout
