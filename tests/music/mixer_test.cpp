#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include <cstring>

#include "frame_by_frame.h"
#include "music/effects.h"
#include "music/voice.h"
#include "music/voice_kernels.h"
#include "player_test_support.h"

using namespace xmtest;

namespace {

// A voice over `length` 8-bit values 0, 1, 2, ... (value i reads as i / 128).
struct TestVoice {
    ModuleInstrument instrument{};
    std::vector<int8_t> data;
    ModuleSample sample{};
    PlayerChannel channel{};

    TestVoice(uint32_t length, LoopType type, uint32_t loopStart, uint32_t loopEnd) {
        for (uint32_t i = 0; i < length; ++i) {
            data.push_back(static_cast<int8_t>(i));
        }
        data.resize(length + 4); // the readable bytes a sample's data has after it
        sample.bits = 8;
        sample.length = length;
        sample.loopType = type;
        sample.loopStart = loopStart;
        sample.loopEnd = loopEnd;
        sample.loopLength = loopEnd - loopStart;
        sample.data = data.data();
        channel.instrument = &instrument;
        channel.sample = &sample;
        channel.step = positionOf(1);
        channel.pingForward = 1;
        channel.rampFrame = kCrossfadeFrames;
    }

    std::vector<int> play(int frames) {
        std::vector<int> out;
        for (int i = 0; i < frames; ++i) {
            out.push_back(static_cast<int>(nextVoiceSample(&channel) * 128.0f));
        }
        return out;
    }
};

// Expects the mixer to render the module bit for bit as frame-by-frame mixing does; returns
// the mixer's frames.
std::vector<float> expectFrameByFrameMixing(const std::vector<uint8_t>& bytes, uint32_t rate,
                                            uint32_t frames) {
    const MixingComparison c = compareWithFrameByFrame(bytes, rate, frames, 1);
    EXPECT_TRUE(c.same()) << "rate " << rate << ": frame " << c.firstDifference / 2 << " "
                          << c.expected[c.firstDifference] << " != " << c.mixed[c.firstDifference];
    return c.mixed;
}

std::vector<int16_t> wave(uint32_t length, int amplitude, int period) {
    std::vector<int16_t> v;
    for (uint32_t i = 0; i < length; ++i) {
        v.push_back(static_cast<int16_t>(amplitude * ((static_cast<int>(i) % period) * 2 - period) /
                                         period));
    }
    return v;
}

// Four channels of notes, loops of every kind, 8- and 16-bit samples, and commands that move
// volumes, panning, pitch and position, across two patterns and a restart. Further channels
// repeat the first four's columns a row later and transposed, so that channels beyond the
// first four sound too, start and stop at other frames and sum in their own order.
XmModule busyModule(bool linear, uint16_t channels = 4) {
    XmModule m;
    m.channels = channels;
    m.linear = linear;
    m.tempo = 3;
    m.bpm = 180;
    m.orders = {0, 1, 0};
    m.restart = 1;
    m.addPattern(16);
    m.addPattern(8);
    XmSample forward;
    forward.values = wave(300, 100, 37);
    forward.loopBits = 1;
    forward.loopStart = 100;
    forward.loopLength = 150;
    XmSample pingPong;
    pingPong.sixteenBit = true;
    pingPong.values = wave(200, 20000, 23);
    pingPong.loopBits = 2;
    pingPong.loopStart = 50;
    pingPong.loopLength = 150; // the loop ends on the sample's end
    XmSample oneShot;
    oneShot.values = wave(500, 90, 11);
    XmInstrument a = singleSampleInstrument(forward);
    a.volumeEnvelope.points = {{0, 0}, {3, 64}, {9, 20}, {12, 40}};
    a.volumeEnvelope.type = 7;
    a.volumeEnvelope.sustain = 2;
    a.volumeEnvelope.loopStart = 1;
    a.volumeEnvelope.loopEnd = 3;
    a.panningEnvelope.points = {{0, 0}, {6, 64}};
    a.panningEnvelope.type = 1;
    a.fadeout = 3000;
    a.vibratoDepth = 8;
    a.vibratoRate = 20;
    a.vibratoSweep = 4;
    m.instruments = {a, singleSampleInstrument(pingPong), singleSampleInstrument(oneShot)};
    const XmCell cells[][4] = {
        {{49, 1, 0, 0, 0}, {37, 2, 0x30, 0x04, 0x48}, {61, 3, 0, 0x00, 0x37}, {0, 0, 0, 0, 0}},
        {{0, 0, 0x65, 0, 0}, {0, 0, 0xB4, 0, 0}, {0, 0, 0, 0x00, 0x37}, {49, 3, 0, 0x09, 0x01}},
        {{52, 1, 0, 0x03, 0x20},
         {0, 0, 0, 0x07, 0x86},
         {73, 3, 0xC4, 0x01, 0x08},
         {0, 0, 0, 0x0A, 0x04}},
        {{97, 0, 0, 0, 0}, {40, 2, 0, 0x1B, 0x32}, {0, 0, 0, 0x02, 0x00}, {61, 1, 0, 0x1D, 0x21}},
        {{0, 0, 0, 0x0E, 0x95},
         {0, 0, 0xE3, 0x11, 0x51},
         {0, 0, 0, 0x19, 0x31},
         {0, 0, 0, 0x0E, 0xC2}},
        {{50, 1, 0, 0x0E, 0xD1},
         {0, 0, 0, 0x06, 0x02},
         {54, 2, 0xF4, 0, 0},
         {0, 0, 0x80 + 3, 0x08, 0x20}},
    };
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 4; ++c) {
            m.cell(0, r * 2, c) = cells[r][c];
            m.cell(1, r, c) = cells[(r + 3) % 6][c];
        }
    }
    m.cell(0, 13, 2) = {0, 0, 0, 0x10, 0x20};
    m.cell(0, 14, 0) = {0, 0, 0, 0x11, 0x03};
    for (int c = 4; c < channels; ++c) {
        for (int r = 0; r < 6; ++r) {
            XmCell cell = cells[(r + c) % 6][c % 4];
            if (cell.note >= 1 && cell.note <= 90) {
                cell.note = static_cast<uint8_t>(cell.note + c);
            }
            m.cell(0, r * 2 + 1, c) = cell;
            m.cell(1, r, c) = cells[(r + c + 3) % 6][c % 4];
        }
    }
    return m;
}

} // namespace

TEST(Voice, LoopTypesStepThroughTheSample) {
    TestVoice once(10, NoLoop, 0, 0);
    EXPECT_EQ(once.play(10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(voiceActive(&once.channel));
    EXPECT_EQ(once.channel.position, positionOf(-1));

    TestVoice forward(10, ForwardLoop, 4, 8);
    EXPECT_EQ(forward.play(16), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 4, 5, 6, 7}));

    TestVoice pingPong(10, PingPongLoop, 4, 8);
    EXPECT_EQ(pingPong.play(19),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 7, 6, 5, 4, 5, 6, 7, 8, 7, 6}));

    // A loop that ends on the sample's end turns on its last frame.
    TestVoice atEnd(8, PingPongLoop, 4, 8);
    EXPECT_EQ(atEnd.play(14), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 7, 7, 6, 5, 4, 5}));
}

TEST(Voice, DegenerateLoopsAndStepsNeverSpinOrReadOutside) {
    TestVoice empty(0, NoLoop, 0, 0);
    EXPECT_EQ(empty.play(5), (std::vector<int>(5, 0)));
    EXPECT_EQ(empty.channel.position, positionOf(0)); // never stops by itself

    // A loop of length 0, and a 16-bit loop of one byte (end one past the start, length 0).
    for (uint32_t loopEnd : {6u, 7u}) {
        TestVoice v(10, ForwardLoop, 6, loopEnd);
        v.sample.loopLength = 0;
        EXPECT_EQ(v.play(12)[11], 6) << loopEnd;
    }

    // Huge (the largest the frequency gives), large and backward steps read only inside the
    // sample.
    struct Fast {
        LoopType type;
        uint32_t loopEnd;
        double step;
        uint8_t forward;
    };
    for (Fast k : {Fast{ForwardLoop, 8, 16777216.0, 1}, Fast{PingPongLoop, 10, 9.5, 1},
                   Fast{PingPongLoop, 10, 3.0, 0}}) {
        SCOPED_TRACE(testing::Message() << "step " << k.step);
        TestVoice v(10, k.type, 4, k.loopEnd);
        v.channel.step = positionOf(k.step);
        v.channel.pingForward = k.forward;
        for (int x : v.play(50)) {
            ASSERT_GE(x, 0);
            ASSERT_LT(x, 10);
        }
    }
}

TEST(Voice, SteadyKernelOnTheSampleEndReadsOnlyTheLastFrame) {
    // A ping-pong turn on the last frame leaves a backward voice on the sample's end; with a
    // step of 0 it stays there. The values past the end (8, 9, 10 here) must never be read.
    for (double step : {0.0, 1.0 / 4294967296.0, 4e-7, 0.25}) {
        TestVoice steady(11, PingPongLoop, 2, 8);
        steady.sample.length = 8;
        steady.channel.position = positionOf(8);
        steady.channel.pingForward = 0;
        steady.channel.step = positionOf(step);
        steady.channel.actualVolume[0] = steady.channel.targetVolume[0] = 1.0f;
        steady.channel.actualVolume[1] = steady.channel.targetVolume[1] = 0.5f;
        TestVoice reference = steady;
        reference.channel.sample = &reference.sample;
        reference.sample.data = reference.data.data();
        float out[2 * 12];
        EXPECT_EQ(runSteadyVoice(&steady.channel, out, 0, 12), 12u);
        for (int f = 0; f < 12; ++f) {
            const float value = nextVoiceSample(&reference.channel);
            EXPECT_EQ(out[2 * f], value) << "step " << step << " frame " << f;
            EXPECT_EQ(out[2 * f + 1], value * 0.5f) << "step " << step << " frame " << f;
        }
        EXPECT_EQ(steady.channel.position, reference.channel.position);
    }
}

TEST(Voice, NewNoteCrossfadesFromTheOldVoice) {
    TestVoice v(100, ForwardLoop, 0, 100);
    v.channel.position = positionOf(50);
    captureVoiceTail(&v.channel);
    EXPECT_EQ(v.channel.rampFrame, 0u);
    EXPECT_EQ(v.channel.position, positionOf(82)); // the old voice ran on by 32 frames
    EXPECT_EQ(v.channel.rampBuffer[0] * 128.0f, 50.0f);
    EXPECT_EQ(v.channel.rampBuffer[31] * 128.0f, 81.0f);
    v.channel.position = positionOf(0); // the new note
    for (uint32_t k = 0; k < 32; ++k) {
        const float tail = (50.0f + k) / 128.0f;
        const float fresh = k / 128.0f;
        EXPECT_FLOAT_EQ(nextVoiceSample(&v.channel), tail + (fresh - tail) * k / 32.0f) << k;
        ++v.channel.rampFrame;
    }
    EXPECT_EQ(nextVoiceSample(&v.channel) * 128.0f, 32.0f);

    // Another note 10 frames into a crossfade: the capture keeps weight 10/32 and reads slot
    // 10, which holds the old tail 60 up to k = 10 and the capture's own 47.5 after it:
    // 60 + (10 + k - 60) x 10/32 for k <= 10, then 47.5 + (10 + k - 47.5) x 10/32 (x 1/128).
    v.channel.position = positionOf(10); // the buffer still holds the tail 50 + k
    v.channel.rampFrame = 10;
    captureVoiceTail(&v.channel);
    const float expected[][2] = {{0, 44.375f}, {10, 47.5f}, {11, 39.21875f}, {31, 45.46875f}};
    for (const auto& e : expected)
        EXPECT_EQ(v.channel.rampBuffer[int(e[0])] * 128.0f, e[1]) << "k " << e[0];
    EXPECT_EQ(v.channel.rampFrame, 0u);
    EXPECT_EQ(v.channel.position, positionOf(42));

    // A silent channel (stopped, crossfade over) captures zeros: the note fades in.
    TestVoice silent(100, NoLoop, 0, 0);
    silent.channel.position = positionOf(-1);
    captureVoiceTail(&silent.channel);
    EXPECT_THAT(silent.channel.rampBuffer, testing::Each(0.0f));
}

TEST(Mixer, TargetVolumesFollowPanningEnvelopeTremoloAndTremor) {
    PlayerChannel c{};
    c.volume = 1.0f;
    c.panning = 0.5f;
    c.volumeEnvelopeValue = 1.0f;
    c.fadeoutVolume = 1.0f;
    c.panningEnvelopeValue = 0.5f;
    computeTargetVolumes(&c);
    EXPECT_FLOAT_EQ(c.targetVolume[0], std::sqrt(0.5f));
    EXPECT_FLOAT_EQ(c.targetVolume[1], std::sqrt(0.5f));
    c.panning = 0.75f;
    c.panningEnvelopeValue = 1.0f; // swings right as far as the nearer edge allows
    computeTargetVolumes(&c);
    EXPECT_FLOAT_EQ(c.targetVolume[0], 0.0f);
    EXPECT_FLOAT_EQ(c.targetVolume[1], 1.0f);
    c.panningEnvelopeValue = 20.0f; // an envelope value far above full scale stays at the edge
    computeTargetVolumes(&c);
    EXPECT_FLOAT_EQ(c.targetVolume[1], 1.0f);
    c.panningEnvelopeValue = 0.5f;
    c.panning = 0.0f;
    c.tremoloVolume = 0.5f;
    c.volume = 0.75f; // clamped to 1
    c.fadeoutVolume = 0.5f;
    computeTargetVolumes(&c);
    EXPECT_FLOAT_EQ(c.targetVolume[0], 0.5f);
    c.tremorMute = 1;
    computeTargetVolumes(&c);
    EXPECT_EQ(c.targetVolume[0], 0.0f);
}

TEST(Mixer, VolumesRampAndTheGainApplies) {
    XmModule m = moduleWithSample(constantSample(20000, 64));
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    PlayerPtr p = createPlayer(m.build());
    std::vector<float> out = render(p.get(), 200);
    const float target = std::sqrt(1.0f - 128.0f / 255.0f);
    // Frame f plays with the volume ramped f steps up from 0, blended in from silence.
    for (int f = 1; f < 32; ++f) {
        const float volume = std::min(f / 128.0f, target);
        const float value = 0.5f * f / 32.0f;
        EXPECT_FLOAT_EQ(out[2 * f], value * volume * 0.25f) << f;
    }
    EXPECT_FLOAT_EQ(out[2 * 150], 0.5f * target * 0.25f);
    EXPECT_EQ(p->channels[0].actualVolume[0], p->channels[0].targetVolume[0]);
}

TEST(Mixer, NoActiveChannelsGivesSilence) {
    XmModule m = moduleWithSample(constantSample(10, 64), 3);
    PlayerPtr p = createPlayer(m.build());
    EXPECT_THAT(render(p.get(), 2000), testing::Each(0.0f));
}

TEST(Mixer, ChannelLoopsMatchFrameByFrameMixingBitForBit) {
    struct Case {
        bool linear;
        uint16_t bpm;
        uint32_t rate;
        uint32_t frames;
        uint16_t channels;
    };
    // The first two run past the end of the song, into the silence; the others try tick
    // lengths with other fractions, the last two with more channels than four.
    const Case cases[] = {{true, 180, 44100, 80000, 4}, {false, 180, 44100, 80000, 4},
                          {true, 97, 8000, 20000, 4},   {true, 255, 48000, 20000, 4},
                          {false, 33, 22050, 20000, 4}, {true, 140, 44100, 60000, 9},
                          {false, 120, 32000, 40000, 6}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << (k.linear ? "linear, " : "amiga, ") << k.channels
                                        << " channels, bpm " << k.bpm);
        XmModule module = busyModule(k.linear, k.channels);
        module.bpm = k.bpm;
        const std::vector<float> actual =
            expectFrameByFrameMixing(module.build(), k.rate, k.frames);
        float peak = 0.0f;
        for (float v : actual) {
            peak = std::max(peak, std::fabs(v));
        }
        EXPECT_GT(peak, 0.01f);
    }
}

TEST(Mixer, VoicesDrivenFarPastTheSampleEndMixAsFrameByFrame) {
    // Under the Amiga table a portamento takes the period to 0 and the autovibrato then swings
    // the step from huge positive to huge negative values; a ping-pong voice that runs
    // backward with a negative step climbs far past the sample's end and must come back
    // reading only the last frame. A second channel's tremolo keeps its volumes moving, so
    // the first voice also runs in the single-voice kernel beside a changing one.
    XmModule m;
    m.channels = 2;
    m.linear = false;
    m.addPattern(64);
    XmSample s;
    s.values = wave(1029, 100, 29);
    s.loopBits = 2;
    s.loopLength = 1029;
    XmInstrument in = singleSampleInstrument(s);
    in.vibratoDepth = 8;
    in.vibratoRate = 0x22;
    m.instruments = {in};
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    m.cell(0, 0, 1) = {49, 1, 0, 0, 0};
    m.cell(0, 1, 0) = {0, 0, 0, 0x01, 0xFF};
    for (int r = 1; r < 64; ++r) {
        m.cell(0, r, 1) = {0, 0, 0, 0x07, 0xFF};
    }
    for (uint32_t rate : {8000u, 44100u, 96000u, 192000u}) {
        expectFrameByFrameMixing(m.build(), rate, rate * 2);
    }
}

TEST(Mixer, LoopLimitSilencesFromTheFirstRepeatedRow) {
    const XmModule m = threeRowSong();
    PlayerPtr p = createPlayer(m.build());
    setLoopLimit(p.get(), 1);
    std::vector<float> out(2 * 4000);
    // Three rows of one 882-frame tick each, then row 0 again: silence from frame 2646 on.
    const uint32_t played = generateSamplesUntilSilenced(p.get(), out.data(), 4000);
    EXPECT_EQ(played, 3u * 882u);
    EXPECT_NE(out[2 * 2645], 0.0f);
    EXPECT_EQ(out[2 * 2646], 0.0f);
    EXPECT_TRUE(loopLimitSilences(p.get()));
    EXPECT_THAT(render(p.get(), 5000), testing::Each(0.0f));

    // Without a limit the song loops for ever.
    PlayerPtr forever = createPlayer(m.build());
    std::vector<float> loud = render(forever.get(), 20000);
    EXPECT_NE(loud[2 * 19999], 0.0f);
    std::vector<float> again(2 * 100);
    EXPECT_EQ(generateSamplesUntilSilenced(forever.get(), again.data(), 100), 100u);
}
