// Rendering speed of the module player in audio seconds per CPU second, and the size of its
// single allocation per byte of module, for a 6-channel and a 32-channel module in which
// every channel sounds all the time, for a 4-channel Amiga-table module of short one-shot
// samples (voices end and sit idle, frequencies come from the Amiga periods) and for a
// 32-channel linear-table module of looped samples with envelopes and a volume-column command
// on every cell, and for an 8-channel chip-style module of 32-frame waveform loops at speed 3
// (short loops wrap every few dozen frames; vibrato, arpeggio and slides change the pitch on
// most ticks).
#include <benchmark/benchmark.h>

#include <algorithm>
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

// A decaying one-shot of `length` frames: a falling tone with noise, as drums and plucks are.
xmtest::XmSample oneShotSample(int shape, bool sixteenBit) {
    xmtest::XmSample s;
    s.sixteenBit = sixteenBit;
    const int length = 300 + 400 * shape;
    uint32_t noise = 12345u + static_cast<uint32_t>(shape);
    for (int i = 0; i < length; ++i) {
        noise = noise * 1103515245u + 12345u;
        const double tone = std::sin(i * (0.3 - 0.0001 * i) / (1 + shape));
        const double hiss = static_cast<double>((noise >> 16) & 0xFF) / 128.0 - 1.0;
        const double level = std::exp(-3.0 * i / length) * (sixteenBit ? 30000 : 120);
        s.values.push_back(static_cast<int16_t>(level * (0.7 * tone + 0.3 * hiss)));
    }
    return s;
}

// Four channels, Amiga table, speed 6 at 125 BPM, the way tracked 4-channel songs are: a note
// on most rows of short one-shot samples with the usual effects between (arpeggio, slides,
// volume slides, vibrato). Most of the time a voice has run out and waits for its next note.
std::vector<uint8_t> amigaOneShotModule() {
    xmtest::XmModule m;
    m.channels = 4;
    m.linear = false;
    m.tempo = 6;
    m.bpm = 125;
    m.orders = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        m.instruments.push_back(xmtest::singleSampleInstrument(oneShotSample(i, false)));
    }
    static const uint8_t kEffects[][2] = {{0x00, 0x37}, {0x01, 0x04}, {0x02, 0x04}, {0x0A, 0x04},
                                          {0x04, 0x44}, {0x0C, 0x30}, {0x00, 0x00}};
    for (int p = 0; p < 4; ++p) {
        m.addPattern(64);
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < 4; ++c) {
                xmtest::XmCell& cell = m.cell(p, r, c);
                if ((r + c) % 2 == 0 || c == 0) {
                    cell.note = static_cast<uint8_t>(49 + (c * 7 + r * 5 + p) % 24);
                    cell.instrument = static_cast<uint8_t>(1 + (c + r / 4) % 4);
                }
                const uint8_t* e = kEffects[(r + 3 * c + p) % 7];
                cell.effect = e[0];
                cell.param = e[1];
            }
        }
    }
    return m.build();
}

// 32 channels, linear table: looped 8- and 16-bit samples (forward and ping-pong), volume and
// panning envelopes with loops, fadeout and autovibrato, notes with key-offs, and a volume
// column command on every cell (set volume, slides, fine slides, panning slides, vibrato).
std::vector<uint8_t> linearLoopedModule() {
    xmtest::XmModule m;
    m.channels = 32;
    m.tempo = 5;
    m.bpm = 140;
    m.orders = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        xmtest::XmInstrument in = xmtest::singleSampleInstrument(loopedSample(i, i % 2 == 0));
        in.volumeEnvelope.points = {{0, 0}, {4, 64}, {16, 40}, {24, 52}, {40, 30}};
        in.volumeEnvelope.type = 7; // on, sustain, loop
        in.volumeEnvelope.sustain = 3;
        in.volumeEnvelope.loopStart = 2;
        in.volumeEnvelope.loopEnd = 3;
        in.panningEnvelope.points = {{0, 16}, {30, 48}, {60, 16}};
        in.panningEnvelope.type = 5; // on, loop
        in.panningEnvelope.loopStart = 0;
        in.panningEnvelope.loopEnd = 2;
        in.fadeout = 800;
        in.vibratoType = static_cast<uint8_t>(i % 3);
        in.vibratoSweep = 20;
        in.vibratoDepth = static_cast<uint8_t>(4 + i);
        in.vibratoRate = 12;
        m.instruments.push_back(in);
    }
    static const uint8_t kVolumeColumn[] = {0x62, 0x71, 0x30, 0x83, 0x92, 0xD2,
                                            0xE2, 0xA4, 0xB3, 0x64, 0x73, 0x48};
    for (int p = 0; p < 4; ++p) {
        m.addPattern(64);
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < 32; ++c) {
                xmtest::XmCell& cell = m.cell(p, r, c);
                const int phase = (r + 3 * c) % 16;
                if (phase == 0) {
                    cell.note = static_cast<uint8_t>(25 + (c * 5 + r + p * 7) % 48);
                    cell.instrument = static_cast<uint8_t>(1 + (c + p) % 4);
                    cell.volume = static_cast<uint8_t>(0x10 + 32 + (c % 4) * 8);
                    continue;
                }
                if (phase == 12) {
                    cell.note = 97; // key off: fadeout from here
                }
                cell.volume = kVolumeColumn[(r + c + p) % 12];
            }
        }
    }
    return m.build();
}

// One period of a chip waveform in 32 8-bit frames, looped whole: pulses of three widths, a
// saw, a triangle and a stepped sine.
xmtest::XmSample chipWaveform(int shape) {
    xmtest::XmSample s;
    for (int i = 0; i < 32; ++i) {
        int v = 0;
        switch (shape) {
        case 0:
        case 1:
        case 2:
            v = i < 16 / (1 << shape) ? 96 : -96; // 50 %, 25 %, 12.5 % pulse
            break;
        case 3:
            v = i * 8 - 128; // saw
            break;
        case 4:
            v = i < 16 ? i * 16 - 128 : 383 - i * 16; // triangle
            break;
        default:
            v = static_cast<int>(std::lround(std::sin(i * 0.19634954) * 7.0)) * 16; // stepped sine
            break;
        }
        s.values.push_back(static_cast<int16_t>(std::clamp(v, -128, 127)));
    }
    s.loopBits = 1;
    s.loopStart = 0;
    s.loopLength = 32;
    return s;
}

// Eight channels, linear table, speed 3 at 125 BPM, as chip tunes are made: six 32-frame
// waveform loops (two with a short decay envelope) and a one-shot noise drum. Leads and bass
// play arpeggio, vibrato and slides on most rows, with tone portamento between notes.
std::vector<uint8_t> chipModule() {
    xmtest::XmModule m;
    m.channels = 8;
    m.tempo = 3;
    m.bpm = 125;
    m.orders = {0, 1, 2, 3};
    for (int i = 0; i < 6; ++i) {
        xmtest::XmInstrument in = xmtest::singleSampleInstrument(chipWaveform(i));
        if (i % 3 == 1) {
            in.volumeEnvelope.points = {{0, 64}, {6, 40}, {30, 24}};
            in.volumeEnvelope.type = 3;
            in.volumeEnvelope.sustain = 2;
        }
        m.instruments.push_back(in);
    }
    xmtest::XmSample noise;
    uint32_t seed = 99;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double level = std::exp(-4.0 * i / 3000.0) * 120.0;
        noise.values.push_back(static_cast<int16_t>(level * (((seed >> 16) & 0xFF) / 128.0 - 1.0)));
    }
    m.instruments.push_back(xmtest::singleSampleInstrument(noise));
    // Effects of the rows between notes: arpeggios, vibratos, slides up and down, tone
    // portamento, vibrato with volume slide.
    static const uint8_t kEffects[][2] = {{0x00, 0x37}, {0x04, 0x46}, {0x00, 0x47}, {0x01, 0x08},
                                          {0x04, 0x2A}, {0x02, 0x06}, {0x00, 0x3C}, {0x03, 0x10},
                                          {0x06, 0x01}, {0x00, 0x00}};
    for (int p = 0; p < 4; ++p) {
        m.addPattern(64);
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < 8; ++c) {
                xmtest::XmCell& cell = m.cell(p, r, c);
                if (c == 7) { // drums
                    if (r % 4 == 0) {
                        cell.note = static_cast<uint8_t>(49 + (r / 4 + p) % 5);
                        cell.instrument = 7;
                    }
                    continue;
                }
                const int every = c < 2 ? 4 : (c < 5 ? 2 : 8);
                if ((r + c) % every == 0) {
                    cell.note = static_cast<uint8_t>(37 + (c * 7 + r * 5 + p * 3) % 36);
                    cell.instrument = static_cast<uint8_t>(1 + (c + r / 8 + p) % 6);
                }
                const uint8_t* e = kEffects[(r + 3 * c + p) % 10];
                cell.effect = e[0];
                cell.param = e[1];
            }
        }
    }
    return m.build();
}

void renderModule(benchmark::State& state, const std::vector<uint8_t>& module) {
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

// The seek's way through the song: the same frames advanced, the sound discarded.
void skipModule(benchmark::State& state, const std::vector<uint8_t>& module) {
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, module.data(), module.size(), kRate) != kPlayerOk) {
        state.SkipWithError("module did not load");
        return;
    }
    setLoopLimit(player, 0);
    uint64_t frames = 0;
    for (auto _ : state) {
        skipSamples(player, kBlock);
        benchmark::DoNotOptimize(player->channels);
        frames += kBlock;
    }
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
    destroyModulePlayer(player);
}

void skipBusyModule(benchmark::State& state) {
    skipModule(state, busyModule(static_cast<uint16_t>(state.range(0))));
}

void skipLinearLooped(benchmark::State& state) {
    skipModule(state, linearLoopedModule());
}

void renderBusyModule(benchmark::State& state) {
    renderModule(state, busyModule(static_cast<uint16_t>(state.range(0))));
}

void renderAmigaOneShots(benchmark::State& state) {
    renderModule(state, amigaOneShotModule());
}

void renderLinearLooped(benchmark::State& state) {
    renderModule(state, linearLoopedModule());
}

void renderChip(benchmark::State& state) {
    renderModule(state, chipModule());
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
BENCHMARK(renderAmigaOneShots)->Unit(benchmark::kMillisecond);
BENCHMARK(renderLinearLooped)->Unit(benchmark::kMillisecond);
BENCHMARK(renderChip)->Unit(benchmark::kMillisecond);
BENCHMARK(skipBusyModule)->Arg(6)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(skipLinearLooped)->Unit(benchmark::kMillisecond);
BENCHMARK(loadBusyModule)->Arg(6)->Arg(32)->Unit(benchmark::kMicrosecond);
