// Pitch, sample offsets and vibrato as heard: small modules rendered by the player, measured
// from the audio they produce and compared with what FastTracker II plays (C-4 at 8363 Hz on
// either frequency table, offsets in sample frames, vibrato of 255 x depth / 32 period units).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "player_test_support.h"

using namespace xmtest;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A sine of `cycle` frames, sampled half a frame off its zero crossings so that the output's
// staircase crosses zero exactly where the position passes a whole cycle.
XmSample toneSample(uint32_t cycles, uint32_t cycle, bool sixteenBit = false) {
    XmSample s;
    s.sixteenBit = sixteenBit;
    for (uint32_t i = 0; i < cycles * cycle; ++i) {
        const double v = std::sin(2.0 * kPi * (i % cycle + 0.5) / cycle);
        s.values.push_back(static_cast<int16_t>(std::lround(v * (sixteenBit ? 20000 : 100))));
    }
    return s;
}

// The left channel of a rendered player and the frames at which its ticks began.
struct Heard {
    std::vector<float> left;
    std::vector<uint32_t> tickStarts;
    std::vector<uint32_t> rowStarts;
};

Heard listen(ModulePlayer* p, uint32_t frames) {
    Heard heard;
    float frame[2];
    for (uint32_t f = 0; f < frames; ++f) {
        if (p->samplesUntilTick <= 0.0f) {
            heard.tickStarts.push_back(f);
            if (p->currentTick == 0) {
                heard.rowStarts.push_back(f);
            }
        }
        generateSamples(p, frame, 1);
        heard.left.push_back(frame[0]);
    }
    return heard;
}

// The tone's frequency over frames [from, to): rising zero crossings, first to last.
double toneFrequency(const std::vector<float>& left, uint32_t from, uint32_t to, uint32_t rate) {
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (uint32_t f = from + 1; f < to; ++f) {
        if (left[f - 1] < 0.0f && left[f] >= 0.0f) {
            first = first < 0.0 ? f : first;
            last = f;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * static_cast<double>(rate) / (last - first);
}

double cents(double frequency, double reference) {
    return 1200.0 * std::log2(frequency / reference);
}

// The hertz at which a note plays (a sample of no finetune and no relative note), as
// FastTracker II tunes both tables: C-4 (note 49) at 8363 Hz, equal semitones.
double noteHertz(int note) {
    return 8363.0 * std::exp2((note - 49) / 12.0);
}

} // namespace

TEST(RenderedPitch, NotesOfBothTablesPlayWhereFastTrackerPlaysThem) {
    struct Case {
        bool linear;
        int note;
    };
    // The Amiga table's periods stray from equal semitones by up to 2.3 cents (1357 for E).
    const Case cases[] = {{true, 49},  {false, 49}, {false, 61}, {false, 53},
                          {false, 37}, {false, 25}, {false, 24}, {false, 14},
                          {false, 13}, {false, 8},  {true, 14},  {true, 8}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << (k.linear ? "linear" : "Amiga") << " note " << k.note);
        constexpr uint32_t kCycle = 8;
        XmSample tone = toneSample(4, kCycle);
        tone.loopBits = 1;
        tone.loopLength = 4 * kCycle;
        XmModule m = moduleWithSample(tone);
        m.linear = k.linear;
        m.cell(0, 0, 0) = {static_cast<uint8_t>(k.note), 1, 0, 0, 0};
        PlayerPtr p = createPlayer(m.build());
        const Heard heard = listen(p.get(), 44100);
        const double heardHz = toneFrequency(heard.left, 1000, 44100, 44100) * kCycle;
        EXPECT_NEAR(cents(heardHz, noteHertz(k.note)), 0.0, 3.0) << heardHz << " Hz";
    }
}

TEST(RenderedPitch, LongSamplesKeepTheirPitchToTheEnd) {
    // C-5 steps 0.3793 frames per frame at 44.1 kHz; beyond 2^18 frames a float position could
    // only move in steps of 1/32 frame (0.375 here, 19 cents flat).
    struct Case {
        uint8_t loopBits;
        double fromSeconds; // the second measured
    };
    // 300,000 frames (2^18 is reached at 15.6 s, the end at 17.9 s).
    const Case cases[] = {
        {0, 16.5}, // a one-shot near its end
        {2, 19.0}, // a ping-pong loop over it all, running back after its turn
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "loop bits " << int(k.loopBits));
        XmSample tone = toneSample(37500, 8);
        tone.loopBits = k.loopBits;
        tone.loopLength = k.loopBits != 0 ? 300000 : 0;
        XmModule m = moduleWithSample(tone);
        m.cell(0, 0, 0) = {61, 1, 0, 0, 0};
        m.tempo = 31;
        m.bpm = 32; // a 64-row pattern lasts 2 minutes
        PlayerPtr p = createPlayer(m.build());
        std::vector<float> out(2 * 44100);
        skipSamples(p.get(), static_cast<uint64_t>(44100 * k.fromSeconds));
        generateSamples(p.get(), out.data(), 44100);
        std::vector<float> left;
        for (uint32_t f = 0; f < 44100; ++f) {
            left.push_back(out[2 * f]);
        }
        const double heardHz = toneFrequency(left, 0, 44100, 44100) * 8;
        EXPECT_NEAR(cents(heardHz, noteHertz(61)), 0.0, 0.5) << heardHz << " Hz";
    }
}

TEST(RenderedOffset, SampleOffsetsCountFramesAndRememberTheLastOne) {
    // Samples whose value at frame i tells i / 256: the block a 9xx starts in is heard. At
    // 8363 Hz, C-4 steps exactly one frame per frame; the value is taken 150 frames into the
    // row (once the volume has ramped in, still inside the block a whole offset starts).
    struct Case {
        const char* what;
        bool sixteenBit;
        uint8_t firstParam;  // 9xx on row 0 with the note, then
        uint8_t secondParam; // 9xx on row 1 with the note: the row measured
        uint32_t block;      // the block heard: the offset in frames / 256
    };
    const Case cases[] = {
        {"8-bit", false, 0x00, 0x03, 3},
        {"16-bit", true, 0x00, 0x03, 3},
        {"900 reuses the last offset, 8-bit", false, 0x05, 0x00, 5},
        {"900 reuses the last offset, 16-bit", true, 0x02, 0x00, 2},
        {"900 with none before", true, 0x00, 0x00, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        XmSample ramp;
        ramp.sixteenBit = k.sixteenBit;
        for (uint32_t i = 0; i < 8 * 256; ++i) {
            ramp.values.push_back(static_cast<int16_t>(k.sixteenBit ? i / 256 * 1024 : i / 256));
        }
        XmModule m = moduleWithSample(ramp);
        m.tempo = 1;
        m.cell(0, 0, 0) = {49, 1, 0, 9, k.firstParam};
        m.cell(0, 1, 0) = {49, 1, 0, 9, k.secondParam};
        PlayerPtr p = createPlayer(m.build(), 8363);
        const Heard heard = listen(p.get(), 600);
        const float value = heard.left[heard.rowStarts[1] + 150];
        // The heard value over the channel's gain: full scale times the sample's value.
        const float gain = p->channels[0].actualVolume[0] * p->amplification;
        const double unit = k.sixteenBit ? 1024.0 / 32768.0 : 1.0 / 128.0;
        EXPECT_EQ(std::lround(value / gain / unit), static_cast<long>(k.block)) << value;
    }
}

TEST(RenderedVibrato, DepthDirectionAndPhaseOfEachWaveform) {
    // 4xF at speed 8 on the linear table, one tick of 3445 frames (32 BPM) after another from
    // the vibrato's first tick: the pitch in cents from the note, measured per tick. The
    // period moves by 255 x 15 / 32 = 119 units at most (186 cents), upward first, so the
    // pitch goes down first; a phase's offset is heard on its tick, then the speed moves it.
    struct Case {
        const char* what;
        uint8_t waveformCommand; // E4y on the row before
        double centsPerTick[8];  // phases 0, 8, .. 56
    };
    const Case cases[] = {
        {"sine", 0x40, {0, -131.25, -185.94, -131.25, 0, 131.25, 185.94, 131.25}},
        {"ramp down", 0x41, {0, -46.88, -93.75, -140.63, 185.94, 139.06, 92.19, 45.31}},
        {"square", 0x42, {-185.94, -185.94, -185.94, -185.94, 185.94, 185.94, 185.94, 185.94}},
    };
    constexpr uint32_t kCycle = 8;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        XmSample tone = toneSample(4, kCycle);
        tone.loopBits = 1;
        tone.loopLength = 4 * kCycle;
        XmModule m = moduleWithSample(tone);
        m.tempo = 10;
        m.bpm = 32;
        m.cell(0, 0, 0) = {0, 0, 0, 0x0E, k.waveformCommand};
        m.cell(0, 1, 0) = {49, 1, 0, 4, 0x8F};
        PlayerPtr p = createPlayer(m.build());
        const Heard heard = listen(p.get(), 22 * 3446);
        const uint32_t rowTick = 10; // the note's row starts on tick 10; the vibrato on 11
        for (int t = 0; t < 8; ++t) {
            const uint32_t from = heard.tickStarts[rowTick + 1 + t] + 40;
            const uint32_t to = heard.tickStarts[rowTick + 2 + t] - 40;
            const double heardHz = toneFrequency(heard.left, from, to, 44100) * kCycle;
            EXPECT_NEAR(cents(heardHz, 8363.0), k.centsPerTick[t], 1.5) << "tick " << t;
        }
    }
}

TEST(RenderedVibrato, AutovibratoSwingsByItsDepthInPeriodUnits) {
    // Depth 15 at full sweep moves the period by 15 units each way (23.4 cents on the linear
    // table); rate 16 takes 16 ticks per cycle, reaching both peaks.
    XmSample tone = toneSample(4, 8);
    tone.loopBits = 1;
    tone.loopLength = 32;
    XmModule m = moduleWithSample(tone);
    m.instruments[0].vibratoDepth = 15;
    m.instruments[0].vibratoRate = 16;
    m.bpm = 32;
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    PlayerPtr p = createPlayer(m.build());
    const Heard heard = listen(p.get(), 18 * 3446);
    double lowest = 0.0;
    double highest = 0.0;
    for (int t = 1; t <= 16; ++t) {
        const double heardHz = toneFrequency(heard.left, heard.tickStarts[t] + 40,
                                             heard.tickStarts[t + 1] - 40, 44100) *
                               8;
        lowest = std::min(lowest, cents(heardHz, 8363.0));
        highest = std::max(highest, cents(heardHz, 8363.0));
    }
    EXPECT_NEAR(highest, 1500.0 / 64.0, 1.5);
    EXPECT_NEAR(lowest, -1500.0 / 64.0, 1.5);
}
