// Rendering speed of the module player in audio seconds per CPU second, and the size of its
// single allocation per byte of module, for a 6-channel and a 32-channel module in which
// every channel sounds all the time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "music/module_player.h"
#include "xm_builder.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kBlock = 4096;

xmtest::XmSample loopedSample(int shape, bool sixteenBit) {
    xmtest::XmSample s;
    s.sixteenBit = sixteenBit;
    const int length = 2000 + 500 * shape;
    for (int i = 0; i < length; ++i) {
        const double v = std::sin(i * (0.02 + 0.01 * shape)) * (sixteenBit ? 20000 : 100);
        s.values.push_back(static_cast<int16_t>(v));
    }
    s.loopBits = shape % 3 == 2 ? 2 : 1;
    s.loopStart = 400;
    s.loopLength = static_cast<uint32_t>(length - 400);
    return s;
}

// Four patterns of 64 rows; every channel starts a note every 8 rows and slides volume or
// pitch in between, so voices, ramps and crossfades all take part.
std::vector<uint8_t> busyModule(uint16_t channels) {
    xmtest::XmModule m;
    m.channels = channels;
    m.tempo = 6;
    m.bpm = 125;
    m.orders = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        xmtest::XmInstrument in = xmtest::singleSampleInstrument(loopedSample(i, i % 2 == 1));
        in.volumeEnvelope.points = {{0, 64}, {20, 48}, {60, 56}};
        in.volumeEnvelope.type = 3;
        in.volumeEnvelope.sustain = 2;
        m.instruments.push_back(in);
    }
    for (int p = 0; p < 4; ++p) {
        m.addPattern(64);
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < channels; ++c) {
                xmtest::XmCell& cell = m.cell(p, r, c);
                if ((r + c) % 8 == 0) {
                    cell.note = static_cast<uint8_t>(36 + (c * 5 + r + p * 3) % 36);
                    cell.instrument = static_cast<uint8_t>(1 + (c + p) % 4);
                } else if (r % 8 == 3) {
                    cell.effect = 0x04; // vibrato
                    cell.param = 0x34;
                } else if (r % 8 == 5) {
                    cell.volume = 0x62; // volume slide down
                }
            }
        }
    }
    return m.build();
}

void renderBusyModule(benchmark::State& state) {
    const std::vector<uint8_t> module = busyModule(static_cast<uint16_t>(state.range(0)));
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, module.data(), module.size(), kRate) != kPlayerOk) {
        state.SkipWithError("module did not load");
        return;
    }
    setLoopLimit(player, 0);
    std::vector<float> out(2 * kBlock);
    uint64_t frames = 0;
    for (auto _ : state) {
        generateSamples(player, out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
        frames += kBlock;
    }
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
    state.counters["alloc_bytes_per_module_byte"] =
        static_cast<double>(playerMemorySize(module.data(), module.size())) /
        static_cast<double>(module.size());
    destroyModulePlayer(player);
}

void loadBusyModule(benchmark::State& state) {
    const std::vector<uint8_t> module = busyModule(static_cast<uint16_t>(state.range(0)));
    for (auto _ : state) {
        ModulePlayer* player = nullptr;
        createModulePlayer(&player, module.data(), module.size(), kRate);
        benchmark::DoNotOptimize(player);
        destroyModulePlayer(player);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * module.size()));
}

} // namespace

BENCHMARK(renderBusyModule)->Arg(6)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(loadBusyModule)->Arg(6)->Arg(32)->Unit(benchmark::kMicrosecond);
