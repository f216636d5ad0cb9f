#include <gtest/gtest.h>

#include "music/effects.h"
#include "player_test_support.h"

using namespace xmtest;

namespace {

// One channel playing the given rows (row 0 first) over a long quiet 8-bit sample.
PlayerPtr playRows(const std::vector<XmCell>& rows, uint16_t tempo = 6, bool linear = true,
                   XmSample sample = constantSample(60000, 10)) {
    XmModule m = moduleWithSample(std::move(sample));
    m.tempo = tempo;
    m.linear = linear;
    for (size_t r = 0; r < rows.size(); ++r) {
        m.cell(0, static_cast<int>(r), 0) = rows[r];
    }
    return createPlayer(m.build());
}

const XmCell kNote{49, 1, 0, 0, 0}; // note 48 after the 1-based shift: period 4608 (linear)

XmCell effect(uint8_t type, uint8_t param, uint8_t note = 0, uint8_t instrument = 0) {
    return XmCell{note, instrument, 0, type, param};
}

// Arpeggio offset on each tick of the second row.
std::vector<int> arpeggioOffsets(uint16_t tempo) {
    PlayerPtr p = playRows({kNote, effect(0, 0x47)}, tempo);
    runTicks(p.get(), tempo);
    std::vector<int> offsets;
    for (int t = 0; t < tempo; ++t) {
        playerTick(p.get());
        offsets.push_back(p->channels[0].arpeggioOffset);
    }
    return offsets;
}

} // namespace

TEST(Effects, ArpeggioFollowsTheTempoPhase) {
    EXPECT_EQ(arpeggioOffsets(6), (std::vector<int>{0, 7, 4, 0, 7, 4}));
    EXPECT_EQ(arpeggioOffsets(5), (std::vector<int>{0, 4, 0, 7, 4}));
    EXPECT_EQ(arpeggioOffsets(4), (std::vector<int>{0, 0, 7, 4}));
    // The frequency follows, and the arpeggio ends with its row.
    PlayerPtr p = playRows({kNote, effect(0, 0xC0), XmCell{}}, 3);
    runTicks(p.get(), 3 + 3); // tick 2 of the arpeggio row plays x = 12
    EXPECT_FLOAT_EQ(p->channels[0].frequency, 2 * 8363.0f);
    playerTick(p.get());
    EXPECT_EQ(p->channels[0].arpeggioActive, 0);
    EXPECT_FLOAT_EQ(p->channels[0].frequency, 8363.0f);
}

TEST(Effects, PortamentoSlidesWithTheirOwnMemories) {
    for (bool linear : {true, false}) {
        const float unit = linear ? 4.0f : 1.0f;
        PlayerPtr p = playRows({kNote, effect(1, 3), effect(1, 0), effect(2, 0x10),
                                effect(0x0E, 0x12), effect(0x0E, 0x10), effect(0x21, 0x15),
                                effect(0x21, 0x10), effect(0x21, 0x23)},
                               4, linear);
        PlayerChannel& c = p->channels[0];
        runTicks(p.get(), 4);
        float period = c.period;
        runTicks(p.get(), 4); // 1xx: three later ticks
        EXPECT_FLOAT_EQ(c.period, period - 9 * unit);
        runTicks(p.get(), 4); // 100 reuses 3
        EXPECT_FLOAT_EQ(c.period, period - 18 * unit);
        runTicks(p.get(), 4); // 2xx
        EXPECT_FLOAT_EQ(c.period, period - 18 * unit + 48 * unit);
        period = c.period;
        runTicks(p.get(), 4); // E12: up once, on tick 0
        EXPECT_FLOAT_EQ(c.period, period - 2 * unit);
        runTicks(p.get(), 4); // E10 reuses its own memory (2)
        EXPECT_FLOAT_EQ(c.period, period - 4 * unit);
        runTicks(p.get(), 4); // X15: the same step as E1y
        EXPECT_FLOAT_EQ(c.period, period - 9 * unit);
        runTicks(p.get(), 4); // X10 reuses 5
        EXPECT_FLOAT_EQ(c.period, period - 14 * unit);
        runTicks(p.get(), 4); // X23: down 3
        EXPECT_FLOAT_EQ(c.period, period - 11 * unit);
        EXPECT_EQ(c.portamentoUpParam, 3);
        EXPECT_EQ(c.finePortamentoUpParam, 2);
        EXPECT_EQ(c.extraFinePortamentoUpParam, 5);
    }
    // A period never slides below 0.
    PlayerPtr p = playRows({kNote, effect(1, 0xFF)}, 31);
    runTicks(p.get(), 62);
    EXPECT_EQ(p->channels[0].period, 0.0f);
}

TEST(Effects, TonePortamentoStopsAtTheTarget) {
    PlayerPtr p = playRows({kNote, effect(3, 0x40, 50), effect(3, 0), effect(5, 0x02, 51)}, 6);
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 6);
    playerTick(p.get());
    EXPECT_FLOAT_EQ(c.tonePortamentoTarget, 4608.0f - 64.0f);
    EXPECT_FLOAT_EQ(c.period, 4608.0f); // tick 0 only sets the target
    playerTick(p.get());
    EXPECT_FLOAT_EQ(c.period, 4608.0f - 64.0f); // 0x40 x 4 overshoots: stops at the target
    runTicks(p.get(), 10);
    EXPECT_FLOAT_EQ(c.period, 4608.0f - 64.0f);
    c.position = positionOf(500);
    runTicks(p.get(), 6); // 5xy with a note: a new target, no restart, the memory's speed
    EXPECT_EQ(c.position, positionOf(500));
    EXPECT_FLOAT_EQ(c.origNote, 48.0f);
    EXPECT_FLOAT_EQ(c.tonePortamentoTarget, 4608.0f - 128.0f);
    EXPECT_FLOAT_EQ(c.period, 4608.0f - 128.0f);
    EXPECT_EQ(c.volume, 1.0f - 10.0f / 64.0f); // 5xy slid the volume on 5 ticks
}

TEST(Effects, VibratoMovesThePitchWhileItsRowsLast) {
    PlayerPtr p = playRows({kNote, effect(4, 0x8F), effect(4, 0x00), XmCell{}}, 3);
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 4);
    EXPECT_EQ(c.vibratoOffset, 0.0f); // tick 0 only stores the parameter
    playerTick(p.get());
    EXPECT_EQ(c.vibratoTicks, 8);
    EXPECT_EQ(c.vibratoOffset, 0.0f); // phase 0; the speed moves it on for the next tick
    EXPECT_EQ(c.vibratoActive, 1);
    playerTick(p.get());
    EXPECT_EQ(c.vibratoOffset, 84.0f); // sine 180 at phase 8, x 15 / 32: the period rises
    runTicks(p.get(), 2);              // 400 keeps speed and depth
    EXPECT_EQ(c.vibratoTicks, 24);
    runTicks(p.get(), 2);
    EXPECT_EQ(c.vibratoActive, 0);
    EXPECT_EQ(c.vibratoOffset, 0.0f);
    EXPECT_FLOAT_EQ(c.frequency, 8363.0f);
}

TEST(Effects, TremoloAndTremorShapeTheVolume) {
    PlayerPtr p = playRows({kNote, effect(7, 0x4F), effect(0x0E, 0x71), effect(7, 0x00)}, 3);
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 5);
    EXPECT_EQ(c.tremoloVolume, 0.0f); // phase 0
    playerTick(p.get());
    EXPECT_FLOAT_EQ(c.tremoloVolume, 0.382683432f); // sin(2 pi 4 / 64) x 15 / 15
    runTicks(p.get(), 5); // E71 selects ramp down; 700 reuses 4 and F: phase 8
    EXPECT_FLOAT_EQ(c.tremoloVolume, -0.75f);

    PlayerPtr t = playRows({kNote, effect(0x1D, 0x21)}, 12);
    runTicks(t.get(), 13);
    std::vector<int> mute;
    for (int i = 1; i < 12; ++i) {
        playerTick(t.get());
        mute.push_back(t->channels[0].tremorMute);
    }
    // On for x + 1 = 3 ticks, off for y + 1 = 2.
    EXPECT_EQ(mute, (std::vector<int>{0, 0, 0, 1, 1, 0, 0, 0, 1, 1, 0}));
}

TEST(Effects, PanningVolumeAndGlobalVolume) {
    PlayerPtr p =
        playRows({kNote, effect(8, 0xFF), effect(0x0C, 0x50), effect(0x0A, 0x23),
                  effect(0x0A, 0x02), effect(0x10, 0x20), effect(0x11, 0x04), effect(0x19, 0x30)},
                 4);
    PlayerChannel& c = p->channels[0];
    // Each check follows the first tick of the next row: the previous row has run in full.
    runTicks(p.get(), 5);
    EXPECT_EQ(c.panning, 1.0f);
    runTicks(p.get(), 4);
    EXPECT_EQ(c.volume, 1.0f); // C clamps to 64
    runTicks(p.get(), 4);
    EXPECT_EQ(c.volumeSlideParam, 0x23); // stored although it slides nothing
    runTicks(p.get(), 4);
    EXPECT_EQ(c.volume, 1.0f); // A23: both nibbles, no slide
    EXPECT_EQ(c.volumeSlideParam, 2);
    runTicks(p.get(), 4);
    EXPECT_EQ(c.volume, 1.0f - 6.0f / 64.0f);
    EXPECT_EQ(p->globalVolume, 0.5f);
    runTicks(p.get(), 8);
    EXPECT_EQ(p->globalVolume, 0.5f - 12.0f / 64.0f);
    runTicks(p.get(), 4);
    EXPECT_EQ(c.panning, 1.0f); // slides right stop at the edge
}

TEST(Effects, SpeedAndTempo) {
    PlayerPtr p = playRows({effect(0x0F, 0x20), effect(0x0F, 0x1F), effect(0x0F, 0x00)}, 1);
    playerTick(p.get());
    EXPECT_EQ(p->bpm, 32);
    playerTick(p.get());
    EXPECT_EQ(p->tempo, 31);
    runTicks(p.get(), 31);
    EXPECT_EQ(p->tempo, 31);
    EXPECT_EQ(p->bpm, 32);
}

// (Where offsets start, and 900's memory, are heard in rendered_pitch_test.cpp.)
TEST(Effects, SampleOffsetPastTheEndStopsAndNeedsANote) {
    XmSample sixteen;
    sixteen.sixteenBit = true;
    sixteen.values.assign(600, 5);
    PlayerPtr p = playRows({effect(9, 5, 49, 1), effect(9, 1)}, 1, true, sixteen);
    playerTick(p.get());
    EXPECT_EQ(p->channels[0].position, positionOf(-1)); // 1280 is past the end: the voice stops
    p->channels[0].position = positionOf(3);
    playerTick(p.get()); // without a note: no offset
    EXPECT_EQ(p->channels[0].position, positionOf(3));
}

TEST(Effects, RetriggerCutAndDelay) {
    PlayerPtr p = playRows({kNote, effect(0x0E, 0x93)}, 6);
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 6);
    std::vector<int> restarts;
    for (int t = 0; t < 6; ++t) {
        c.position = positionOf(100);
        c.panning = 0.25f;
        playerTick(p.get());
        restarts.push_back(c.position == positionOf(0) && c.panning == 128.0f / 255.0f);
    }
    EXPECT_EQ(restarts, (std::vector<int>{0, 0, 0, 1, 0, 0})); // with the sample's panning

    PlayerPtr cut = playRows({XmCell{49, 1, 0, 0x0E, 0xC0}, effect(0x0E, 0xC2)}, 6);
    playerTick(cut.get());
    EXPECT_EQ(cut->channels[0].volume, 0.0f); // EC0 cuts on tick 0
    cut->channels[0].volume = 1.0f;
    runTicks(cut.get(), 7);
    EXPECT_EQ(cut->channels[0].volume, 1.0f);
    playerTick(cut.get());
    EXPECT_EQ(cut->channels[0].volume, 0.0f);

    PlayerPtr delay = playRows({XmCell{49, 1, 0, 0x0E, 0xD3}}, 6);
    PlayerChannel& d = delay->channels[0];
    runTicks(delay.get(), 3);
    EXPECT_EQ(d.sample, nullptr);
    playerTick(delay.get());
    EXPECT_NE(d.sample, nullptr);
    EXPECT_FLOAT_EQ(d.period, 4608.0f);

    PlayerPtr never = playRows({XmCell{49, 1, 0, 0x0E, 0xD7}}, 6);
    runTicks(never.get(), 6);
    EXPECT_EQ(never->channels[0].sample, nullptr);

    // A delay without note restarts the last note on its tick.
    PlayerPtr again = playRows({kNote, effect(0x0E, 0xD2)}, 6);
    runTicks(again.get(), 6);
    again->channels[0].position = positionOf(50);
    runTicks(again.get(), 2);
    EXPECT_EQ(again->channels[0].position, positionOf(50));
    playerTick(again.get());
    EXPECT_EQ(again->channels[0].position, positionOf(0));
}

TEST(Effects, KeyOffAndEnvelopePosition) {
    PlayerPtr p = playRows({kNote, effect(0x14, 3), effect(0x15, 7)}, 6);
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 9);
    EXPECT_EQ(c.volume, 1.0f);
    playerTick(p.get());
    EXPECT_EQ(c.volume, 0.0f); // K03 at tick 3; no volume envelope: cut
    EXPECT_EQ(c.sustained, 0);
    runTicks(p.get(), 2);
    playerTick(p.get());
    EXPECT_EQ(c.volumeEnvelopeFrame, 7);
    EXPECT_EQ(c.panningEnvelopeFrame, 7);
}

TEST(Effects, MultiRetriggerChangesTheVolumeByTheTable) {
    struct Case {
        uint8_t param, volumeColumn;
        bool envelope;
        float volume;
    };
    // From 0.5: R8y keeps it, R1y takes 1/64, RFy doubles, R6y takes 2/3, R5y 16/64; a set
    // volume column or an enabled volume envelope leaves it alone.
    for (Case k :
         {Case{0x83, 0, false, 0.5f}, Case{0x13, 0, false, 0.484375f}, Case{0xF3, 0, false, 1.0f},
          Case{0x63, 0, false, 0.333333343f}, Case{0x53, 0, false, 0.25f},
          Case{0x13, 0x30, false, 0.5f}, Case{0x13, 0, true, 0.5f}}) {
        XmModule m = moduleWithSample(constantSample(60000, 10));
        m.tempo = 6;
        m.instruments[0].volumeEnvelope.points = {{0, 64}, {100, 64}};
        m.instruments[0].volumeEnvelope.type = k.envelope ? 1 : 0;
        m.cell(0, 0, 0) = {49, 1, 0x30, 0, 0};
        m.cell(0, 1, 0) = {0, 0, k.volumeColumn, 0x1B, k.param};
        PlayerPtr p = createPlayer(m.build());
        PlayerChannel& c = p->channels[0];
        runTicks(p.get(), 6);
        std::vector<int> restarts;
        for (int t = 0; t < 6; ++t) {
            c.position = positionOf(10);
            playerTick(p.get());
            restarts.push_back(c.position == positionOf(0));
        }
        EXPECT_EQ(restarts, (std::vector<int>{0, 0, 0, 1, 0, 0})) << int(k.param);
        EXPECT_FLOAT_EQ(c.volume, k.volume) << int(k.param);
    }
}

TEST(Effects, WaveformBit2KeepsThePhaseThroughNewNotes) {
    for (uint8_t bit2 : {0, 4}) {
        const uint8_t vibratoWave = 0x40 | bit2, tremoloWave = 0x70 | bit2;
        PlayerPtr p = playRows({XmCell{49, 1, 0, 0x0E, vibratoWave}, effect(4, 0x81),
                                XmCell{49, 1, 0, 0x0E, tremoloWave}, effect(7, 0x41), kNote},
                               4);
        PlayerChannel& c = p->channels[0];
        runTicks(p.get(), 9); // three vibrato ticks of speed 8, then a new note
        EXPECT_EQ(c.vibratoTicks, bit2 ? 24 : 0) << int(bit2);
        runTicks(p.get(), 8); // three tremolo ticks, then a new note
        EXPECT_EQ(c.tremoloTicks, bit2 ? 3 : 0) << int(bit2);
        EXPECT_EQ(c.vibratoTicks, bit2 ? 24 : 0) << int(bit2);
    }
}

TEST(Effects, ExtendedSettings) {
    PlayerPtr p = playRows({kNote, effect(0x0E, 0x46), XmCell{49, 0, 0, 0x0E, 0x5C},
                            effect(0x0E, 0xA4), effect(0x0E, 0xB0)},
                           2);
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 3);
    EXPECT_EQ(c.vibratoWaveform, Square);
    EXPECT_EQ(c.vibratoRetrigger, 0);
    runTicks(p.get(), 2);
    EXPECT_FLOAT_EQ(c.note, 48.5f); // finetune (12 - 8) x 16 / 128
    EXPECT_FLOAT_EQ(c.period, 4576.0f);
    c.volume = 0.5f;
    runTicks(p.get(), 2);
    EXPECT_EQ(c.volume, 0.5f + 4.0f / 64.0f);
    runTicks(p.get(), 2); // EB0 reuses the shared fine-slide memory
    EXPECT_EQ(c.volume, 0.5f);
}

TEST(Effects, WaveformsAndTheSharedRandomGenerator) {
    EXPECT_FLOAT_EQ(waveformValue(Sine, 16), -1.0f);
    EXPECT_FLOAT_EQ(waveformValue(Sine, 16 + 64), -1.0f);
    EXPECT_FLOAT_EQ(waveformValue(RampDown, 0), 1.0f);
    EXPECT_FLOAT_EQ(waveformValue(RampDown, 48), -0.5f);
    EXPECT_EQ(waveformValue(Square, 31), -1.0f);
    EXPECT_EQ(waveformValue(Square, 32), 1.0f);
    EXPECT_FLOAT_EQ(waveformValue(RampUp, 16), -0.5f);
    EXPECT_EQ(waveformValue(static_cast<Waveform>(9), 16), 0.0f);

    // 24492 x 1103515245 + 12345 modulo 2^32 is 3361166453, whose bits 16..30 are 18519.
    setRandomWaveformState(24492);
    EXPECT_EQ(waveformValue(Random, 0), 18519.0f / 16384.0f - 1.0f);
    EXPECT_EQ(randomWaveformState(), 3361166453u);
    // The phase does not matter: every read takes the generator's next value.
    std::vector<float> byPhase, atPhaseZero;
    for (std::vector<float>* values : {&byPhase, &atPhaseZero}) {
        setRandomWaveformState(24492);
        for (int i = 0; i < 8; ++i) {
            values->push_back(waveformValue(Random, values == &byPhase ? i : 0));
        }
    }
    EXPECT_EQ(byPhase, atPhaseZero);
}

TEST(Effects, InstrumentAutovibratoSweepsIn) {
    XmModule m = moduleWithSample(constantSample(60000, 10));
    m.tempo = 8;
    m.instruments[0].vibratoType = 2; // the file's 2 is the ramp down
    m.instruments[0].vibratoDepth = 15;
    m.instruments[0].vibratoRate = 16;
    m.instruments[0].vibratoSweep = 4;
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    PlayerPtr p = createPlayer(m.build());
    PlayerChannel& c = p->channels[0];
    EXPECT_EQ(p->instruments[0].autovibratoWaveform, RampDown);
    // Tick t: ramp down at phase 16t / 4, x 15 (fine period units), x the sweep t / 4 until
    // tick 4; the offset lowers the frequency by 2^(offset / 768).
    const float offset[6] = {0.0f, 3.28125f, 5.625f, 7.03125f, 7.5f, 5.625f};
    for (uint16_t t = 0; t < 6; ++t) {
        playerTick(p.get());
        EXPECT_FLOAT_EQ(c.autovibratoOffset, offset[t]) << t;
        EXPECT_EQ(c.autovibratoTicks, t + 1);
        const float frequency = 8363.0f * std::exp2(-offset[t] / 768.0f);
        EXPECT_FLOAT_EQ(c.frequency, frequency) << t;
    }
}
