// Header playback order, looping and the callback that feeds SDL from it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/waveout/sdl_wave_device.h"
#include "platform/linux/waveout/wave_queue.h"

namespace quavel::waveout {
namespace {

struct Buffer {
    explicit Buffer(std::size_t size, std::uint8_t first, DWORD flags = 0, DWORD loops = 0)
        : bytes(size) {
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(first + i);
        header.lpData = reinterpret_cast<LPSTR>(bytes.data());
        header.dwBufferLength = static_cast<DWORD>(size);
        header.dwFlags = WHDR_PREPARED | flags;
        header.dwLoops = loops;
    }
    std::vector<std::uint8_t> bytes;
    WAVEHDR header{};
};

constexpr DWORD kLoop = WHDR_BEGINLOOP | WHDR_ENDLOOP;

TEST(WaveQueue, EndlessLoopRepeatsTheBufferInOrderAcrossItsEnd) {
    Buffer loop(8, 10, kLoop, 0xFFFFFFFF);
    WaveQueue queue;
    queue.append(&loop.header);
    EXPECT_EQ(loop.header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_INQUEUE);
    std::uint8_t out[20];
    ASSERT_EQ(queue.play(5, out), 5u);
    ASSERT_EQ(queue.play(15, out + 5), 15u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(out[i], 10 + i % 8) << i;
    // Keeping time only, far more than the 32-bit laps count could hold in bytes.
    EXPECT_EQ(queue.play(std::uint64_t{1} << 33, nullptr), std::uint64_t{1} << 33);
    EXPECT_FALSE(queue.empty());
}

TEST(WaveQueue, FiniteLoopsAndPlainHeadersEndDoneInTurn) {
    Buffer twice(4, 0, kLoop, 2);
    Buffer once(3, 100);
    Buffer halfLoop(4, 50, WHDR_BEGINLOOP, 5); // not a loop on its own: played once
    WaveQueue queue;
    queue.append(&twice.header);
    queue.append(&once.header);
    queue.append(&halfLoop.header);
    std::uint8_t out[32] = {};
    EXPECT_EQ(queue.play(32, out), 15u) << "runs dry after 4*2 + 3 + 4 bytes";
    const std::uint8_t expected[] = {0, 1, 2, 3, 0, 1, 2, 3, 100, 101, 102, 50, 51, 52, 53};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(out[i], expected[i]) << i;
    EXPECT_TRUE(queue.empty());
    for (const Buffer* b : {&twice, &once, &halfLoop})
        EXPECT_EQ(b->header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);

    Buffer pending(4, 0, kLoop, 0xFFFFFFFF);
    queue.append(&pending.header);
    queue.clear();
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(pending.header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);
}

TEST(SdlWaveDeviceFill, CopiesTheLoopCountsBytesAndPadsWithSilence) {
    WAVEFORMATEX format{};
    format.nAvgBytesPerSec = 1000;
    format.nBlockAlign = 1;
    // No SDL device behind it: the callback is driven here, a second apart, with no latency.
    std::chrono::nanoseconds now{0};
    SdlWaveDevice device(0, 0x80, format, 0, [&now] { return now += std::chrono::seconds(1); });
    std::uint8_t stream[12];
    device.fill(stream, 12);
    EXPECT_EQ(device.bytesPlayed(), 0u) << "nothing written yet";
    EXPECT_EQ(stream[0], 0x80);

    Buffer loop(8, 1, kLoop, 0xFFFFFFFF);
    device.write(&loop.header);
    device.fill(stream, 12);
    device.fill(stream, 12);
    EXPECT_EQ(device.bytesPlayed(), 24u) << "bytes since the write, past the buffer length";
    EXPECT_EQ(stream[0], 1 + 12 % 8);

    device.pause();
    device.fill(stream, 12);
    EXPECT_EQ(device.bytesPlayed(), 24u);
    EXPECT_EQ(stream[11], 0x80);
    device.restart();
    device.reset();
    EXPECT_EQ(device.bytesPlayed(), 0u);
    EXPECT_FALSE(device.hasQueuedHeaders());
    EXPECT_TRUE(loop.header.dwFlags & WHDR_DONE);
}

TEST(SdlWaveDeviceOpen, DriversThatDoNotPlayInRealTimeAreNotTakenForASoundCard) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.nAvgBytesPerSec = 352800;
    format.nBlockAlign = 8;
    format.wBitsPerSample = 32;
    for (const char* driver : {"dummy", "disk"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        std::string whyNot;
        EXPECT_EQ(SdlWaveDevice::open(format, AUDIO_F32SYS, whyNot), nullptr) << driver;
        EXPECT_NE(whyNot.find(driver), std::string::npos) << whyNot;
    }
    unsetenv("SDL_AUDIODRIVER");
}

} // namespace
} // namespace quavel::waveout
