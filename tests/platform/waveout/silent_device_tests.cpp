// The silent device keeps time by the clock: a fake clock makes every step exact.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/linux/waveout/silent_wave_device.h"

namespace quavel::waveout {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

class SilentDeviceTest : public ::testing::Test {
protected:
    nanoseconds now{std::chrono::seconds(1000)};
    SilentWaveDevice device{352800, 8, [this] { return now; }};
    std::vector<float> samples = std::vector<float>(4096 * 2);
    WAVEHDR header{};

    void writeLoop() {
        header.lpData = reinterpret_cast<LPSTR>(samples.data());
        header.dwBufferLength = 32768;
        header.dwFlags = WHDR_PREPARED | WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header.dwLoops = 0xFFFFFFFF;
        device.write(&header);
    }
};

TEST_F(SilentDeviceTest, AdvancesAtTheByteRateFromTheWriteAndPastTheBuffer) {
    now += milliseconds(500);
    EXPECT_EQ(device.bytesPlayed(), 0u) << "nothing plays before the first write";
    writeLoop();
    now += milliseconds(10);
    EXPECT_EQ(device.bytesPlayed(), 3528u);
    now += nanoseconds(1); // a fraction of a frame is not reported
    EXPECT_EQ(device.bytesPlayed() % 8, 0u);
    now += std::chrono::seconds(46) - milliseconds(10) - nanoseconds(1);
    EXPECT_EQ(device.bytesPlayed(), 16228800u) << "46 s of 44100 Hz float stereo";
    now += std::chrono::hours(4);
    EXPECT_EQ(device.bytesPlayed(), 16228800u + 4ull * 3600 * 352800) << "no overflow";
}

TEST_F(SilentDeviceTest, PauseHoldsThePositionAndResetReturnsTheHeader) {
    writeLoop();
    now += milliseconds(100);
    device.pause();
    now += milliseconds(300);
    EXPECT_EQ(device.bytesPlayed(), 35280u);
    device.restart();
    now += milliseconds(100);
    EXPECT_EQ(device.bytesPlayed(), 70560u) << "the pause is not made up";
    device.reset();
    EXPECT_EQ(device.bytesPlayed(), 0u);
    EXPECT_FALSE(device.hasQueuedHeaders());
    EXPECT_EQ(header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    now += milliseconds(100);
    EXPECT_EQ(device.bytesPlayed(), 0u) << "nothing plays after a reset";
}

TEST_F(SilentDeviceTest, AHeaderThatRunsOutStopsTheClockUntilTheNextWrite) {
    header.lpData = reinterpret_cast<LPSTR>(samples.data());
    header.dwBufferLength = 3528; // 10 ms
    header.dwFlags = WHDR_PREPARED;
    device.write(&header);
    now += milliseconds(50);
    EXPECT_EQ(device.bytesPlayed(), 3528u);
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    WAVEHDR second = header;
    second.dwFlags = WHDR_PREPARED;
    device.write(&second);
    now += milliseconds(8);
    EXPECT_EQ(device.bytesPlayed(), 3528u + 2816u) << "the idle gap is not owed to the new header";
}

} // namespace
} // namespace quavel::waveout
