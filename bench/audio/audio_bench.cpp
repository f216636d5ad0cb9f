// The audio thread's work per 5 ms poll, against its budget: one position query and the
// refill of about 220 played frames (44100 Hz x 5 ms) must take a small part of 5 ms, and the
// position query is also made by the frame loop every frame.
#include <benchmark/benchmark.h>

#include <vector>

#include "music/audio_refill.h"
#include "music/audio_test_module.h"
#include "music/module_player.h"
#include "music/xm_builder.h"
#include "platform/waveout.h"

namespace {

void BM_RefillPass(benchmark::State& state) {
    const auto frames = static_cast<std::uint32_t>(state.range(0));
    const auto module = audiotest::audioTestModule();
    xmtest::PlayerPtr player = xmtest::createPlayer(module, kAudioSampleRate);
    if (player == nullptr) {
        state.SkipWithError("the test module did not load");
        return;
    }
    ModulePlayer* raw = player.get();
    const AudioFrameRenderer render = [raw](float* out, std::uint32_t n) {
        generateSamples(raw, out, n);
    };
    std::vector<float> ring(2 * kAudioRingFrames);
    std::uint32_t played = 0;
    std::uint32_t framesRendered = 0;
    for (auto _ : state) {
        played += frames;
        refillPlayedFrames(render, ring.data(), played, framesRendered);
        benchmark::DoNotOptimize(ring.data());
    }
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_RefillPass)->Arg(220)->Arg(4096);

void BM_PositionQuery(benchmark::State& state) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = 2;
    format.nSamplesPerSec = kAudioSampleRate;
    format.nAvgBytesPerSec = kAudioSampleRate * kAudioBytesPerFrame;
    format.nBlockAlign = kAudioBytesPerFrame;
    format.wBitsPerSample = 32;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        state.SkipWithError("no wave-out device");
        return;
    }
    std::vector<float> ring(2 * kAudioRingFrames);
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(ring.data());
    header.dwBufferLength = sizeof(float) * 2 * kAudioRingFrames;
    header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header.dwLoops = 0xFFFFFFFF;
    waveOutPrepareHeader(device, &header, sizeof(header));
    waveOutWrite(device, &header, sizeof(header));
    for (auto _ : state) {
        MMTIME time{};
        time.wType = TIME_BYTES;
        waveOutGetPosition(device, &time, sizeof(time));
        benchmark::DoNotOptimize(time.u.cb);
    }
    waveOutReset(device);
    waveOutClose(device);
}
BENCHMARK(BM_PositionQuery);

} // namespace
