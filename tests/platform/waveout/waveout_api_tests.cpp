// The waveOut functions as the show calls them. This machine has no sound card, so the device
// opened here is the silent one; its position is checked against the real clock with bounds
// taken before and after each step, which holds however the scheduler delays the test.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/waveout.h"

namespace {

using Clock = std::chrono::steady_clock;

WAVEFORMATEX floatStereo() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.nAvgBytesPerSec = 352800;
    format.nBlockAlign = 8;
    format.wBitsPerSample = 32;
    return format;
}

DWORD positionBytes(HWAVEOUT device) {
    MMTIME time{};
    time.wType = TIME_BYTES;
    EXPECT_EQ(waveOutGetPosition(device, &time, sizeof(time)), MMSYSERR_NOERROR);
    EXPECT_EQ(time.wType, static_cast<UINT>(TIME_BYTES));
    return time.u.cb;
}

double bytesIn(Clock::duration span) {
    return std::chrono::duration<double>(span).count() * 352800.0;
}

class WaveOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        const WAVEFORMATEX format = floatStereo();
        ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL),
                  MMSYSERR_NOERROR);
        header.lpData = reinterpret_cast<LPSTR>(buffer.data());
        header.dwBufferLength = 32768;
        header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header.dwLoops = 0xFFFFFFFF;
        ASSERT_EQ(waveOutPrepareHeader(device, &header, sizeof(header)), MMSYSERR_NOERROR);
    }
    void TearDown() override {
        waveOutReset(device);
        waveOutClose(device);
    }

    HWAVEOUT device = nullptr;
    std::vector<float> buffer = std::vector<float>(4096 * 2);
    WAVEHDR header{};
};

TEST_F(WaveOutTest, LoopingPositionFollowsTheClockPastTheBufferLength) {
    EXPECT_EQ(positionBytes(device), 0u) << "before the write";
    const auto beforeWrite = Clock::now();
    ASSERT_EQ(waveOutWrite(device, &header, sizeof(header)), MMSYSERR_NOERROR);
    const auto afterWrite = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const auto beforeQuery = Clock::now();
    const DWORD played = positionBytes(device);
    const auto afterQuery = Clock::now();
    EXPECT_GE(played + 8.0, bytesIn(beforeQuery - afterWrite));
    EXPECT_LE(played, bytesIn(afterQuery - beforeWrite) + 8.0);
    EXPECT_GT(played, 32768u) << "counts bytes since the write, not within the loop";
    EXPECT_EQ(played % 8, 0u);
    EXPECT_TRUE(header.dwFlags & WHDR_INQUEUE);
}

TEST_F(WaveOutTest, PauseHoldsThePositionInEveryTimeFormatAndResetAndCloseStopTheDevice) {
    ASSERT_EQ(waveOutWrite(device, &header, sizeof(header)), MMSYSERR_NOERROR);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(waveOutClose(device), static_cast<MMRESULT>(WAVERR_STILLPLAYING));
    ASSERT_EQ(waveOutPause(device), MMSYSERR_NOERROR);
    const DWORD paused = positionBytes(device);
    EXPECT_GT(paused, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(positionBytes(device), paused);
    // Other time formats are derived from the bytes; unsupported ones fall back to bytes.
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    waveOutGetPosition(device, &time, sizeof(time));
    EXPECT_EQ(time.u.sample, paused / 8);
    time.wType = TIME_SMPTE;
    waveOutGetPosition(device, &time, sizeof(time));
    EXPECT_EQ(time.wType, static_cast<UINT>(TIME_BYTES));
    EXPECT_EQ(time.u.cb, paused);
    ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    EXPECT_EQ(positionBytes(device), 0u);
    EXPECT_EQ(header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    time.wType = TIME_BYTES;
    EXPECT_EQ(waveOutGetPosition(device, &time, sizeof(time)),
              static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(waveOutPause(device), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
}

TEST_F(WaveOutTest, ConcurrentPositionReadsAreSafeAndNeverGoBack) {
    ASSERT_EQ(waveOutWrite(device, &header, sizeof(header)), MMSYSERR_NOERROR);
    std::atomic<int> regressions{0};
    auto reader = [this, &regressions] {
        DWORD last = 0;
        for (int i = 0; i < 20000; ++i) {
            MMTIME time{};
            time.wType = TIME_BYTES;
            waveOutGetPosition(device, &time, sizeof(time));
            if (time.u.cb < last)
                ++regressions;
            last = time.u.cb;
        }
    };
    std::thread audioThread(reader);
    reader();
    audioThread.join();
    EXPECT_EQ(regressions.load(), 0);
}

TEST(WaveOutArguments, BadCallsAreRefusedWithTheirCodes) {
    WAVEFORMATEX format = floatStereo();
    HWAVEOUT device = nullptr;
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_FUNCTION),
              static_cast<MMRESULT>(MMSYSERR_NOTSUPPORTED));
    EXPECT_EQ(waveOutOpen(&device, 7, &format, 0, 0, CALLBACK_NULL),
              static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, WAVE_FORMAT_QUERY),
              MMSYSERR_NOERROR);
    EXPECT_EQ(device, nullptr) << "a query opens nothing";
    format.nAvgBytesPerSec = 44100;
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL),
              static_cast<MMRESULT>(WAVERR_BADFORMAT));
    format = floatStereo();
    format.wBitsPerSample = 24;
    format.nBlockAlign = 6;
    format.nAvgBytesPerSec = 264600;
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL),
              static_cast<MMRESULT>(WAVERR_BADFORMAT));

    EXPECT_EQ(waveOutClose(nullptr), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    MMTIME time{};
    time.wType = TIME_BYTES;
    EXPECT_EQ(waveOutGetPosition(nullptr, &time, sizeof(time)),
              static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(time.u.cb, 0u) << "a failed query leaves the zeroed count";

    format = floatStereo();
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<float> samples(64);
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(samples.data());
    header.dwBufferLength = 256;
    EXPECT_EQ(waveOutWrite(device, &header, sizeof(header)),
              static_cast<MMRESULT>(WAVERR_UNPREPARED));
    EXPECT_EQ(waveOutPrepareHeader(device, &header, 12),
              static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
    EXPECT_EQ(waveOutPrepareHeader(device, &header, sizeof(header)), MMSYSERR_NOERROR);
    header.dwBufferLength = 250; // not whole frames
    EXPECT_EQ(waveOutWrite(device, &header, sizeof(header)),
              static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
    EXPECT_EQ(waveOutGetPosition(device, &time, 4), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST(WaveOutSilentFallback, SaysOnceOnStderrThatThereIsNoSound) {
    const WAVEFORMATEX format = floatStereo();
    HWAVEOUT first = nullptr;
    HWAVEOUT second = nullptr;
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(waveOutOpen(&first, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutOpen(&second, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(first, second);
    waveOutClose(first);
    waveOutClose(second);
    if (said.find("waveout:") == std::string::npos)
        GTEST_SKIP() << "nothing said: a sound device is present, or an earlier test in this "
                        "process already opened the silent device";
    const auto line = said.substr(said.find("waveout:"));
    EXPECT_EQ(line.find("waveout:", 1), std::string::npos) << "said once: " << said;
    EXPECT_NE(line.find("without sound"), std::string::npos);
}

} // namespace
