// The XM writer, checked by loading its output with the project's player.
#include "song.h"
#include "xm_writer.h"

#include "music/module_player.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace composer {
namespace {

struct LoadedModule {
    ModulePlayer* player = nullptr;
    explicit LoadedModule(const std::vector<uint8_t>& bytes) {
        EXPECT_EQ(createModulePlayer(&player, bytes.data(), bytes.size(), 44100), kPlayerOk);
    }
    ~LoadedModule() {
        if (player)
            destroyModulePlayer(player);
    }
};

XmModule smallModule() {
    XmModule m;
    m.channels = 3;
    m.tempo = 3;
    m.bpm = 255;
    m.restartPosition = 1;
    m.orders = {0, 1, 0};

    XmPattern p;
    p.rows = 4;
    p.channels = 3;
    p.cells.resize(12);
    p.at(0, 0) = {49, 1, 0x50, 0x0C, 0x20}; // every field: stored unpacked
    p.at(0, 2) = {kKeyOff, 0, 0, 0, 0};
    p.at(1, 1) = {0, 0, 0xC3, 0x0E, 0xD2}; // no note or instrument
    p.at(3, 2) = {96, 1, 0, 0, 0};
    XmPattern q = p;
    q.at(2, 0) = {1, 1, 0x10, 0x0B, 0x02};
    m.patterns = {p, q};

    XmInstrument ins;
    ins.name = "test";
    XmSample eight, sixteen;
    eight.sixteenBit = false;
    eight.data = {0, 0x7F00, -0x8000, 0x1200, -0x0100, 0x4000};
    eight.loop = XmLoop::Forward;
    eight.loopStart = 2;
    eight.loopLength = 3;
    eight.volume = 40;
    eight.finetune = -27;
    eight.relativeNote = 29;
    eight.panning = 200;
    sixteen.data = {1000, -32768, 32767, 0, -5, 7, 12345};
    sixteen.loop = XmLoop::PingPong;
    sixteen.loopStart = 1;
    sixteen.loopLength = 6;
    ins.samples = {eight, sixteen};
    for (int n = 48; n < 96; ++n)
        ins.keymap[n] = 1;
    ins.volumeEnvelope.enabled = true;
    ins.volumeEnvelope.sustain = true;
    ins.volumeEnvelope.sustainPoint = 1;
    ins.volumeEnvelope.points = {{0, 0}, {10, 64}, {40, 20}};
    ins.panningEnvelope.enabled = true;
    ins.panningEnvelope.loop = true;
    ins.panningEnvelope.loopStart = 0;
    ins.panningEnvelope.loopEnd = 1;
    ins.panningEnvelope.points = {{0, 32}, {24, 50}};
    ins.vibratoDepth = 10;
    ins.vibratoRate = 9;
    ins.vibratoSweep = 40;
    ins.fadeout = 1200;
    m.instruments = {ins};
    return m;
}

TEST(XmWriter, HeaderPatternsAndCellsLoadAsWritten) {
    const XmModule m = smallModule();
    LoadedModule loaded(writeXm(m));
    const ModulePlayer* p = loaded.player;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->songLength, 3);
    EXPECT_EQ(p->restartPosition, 1);
    EXPECT_EQ(p->channelCount, 3);
    EXPECT_EQ(p->patternCount, 2);
    EXPECT_EQ(p->instrumentCount, 1);
    EXPECT_EQ(p->frequencyMode, LinearTable);
    EXPECT_EQ(p->tempo, 3);
    EXPECT_EQ(p->bpm, 255);
    EXPECT_EQ(p->orderTable[1], 1);
    EXPECT_EQ(p->orderTable[3], 0);
    for (int pat = 0; pat < 2; ++pat)
        for (int i = 0; i < 12; ++i) {
            const XmCell& w = m.patterns[size_t(pat)].cells[size_t(i)];
            const PatternCell& c = p->patterns[pat].cells[i];
            EXPECT_EQ(c.note, w.note) << pat << ":" << i;
            EXPECT_EQ(c.instrument, w.instrument) << pat << ":" << i;
            EXPECT_EQ(c.volumeColumn, w.volume) << pat << ":" << i;
            EXPECT_EQ(c.effectType, w.effect) << pat << ":" << i;
            EXPECT_EQ(c.effectParam, w.param) << pat << ":" << i;
        }
}

TEST(XmWriter, InstrumentSamplesAndEnvelopesLoadAsWritten) {
    const XmModule m = smallModule();
    LoadedModule loaded(writeXm(m));
    ASSERT_NE(loaded.player, nullptr);
    const ModuleInstrument& ins = loaded.player->instruments[0];
    ASSERT_EQ(ins.sampleCount, 2);
    EXPECT_EQ(ins.keymap[47], 0);
    EXPECT_EQ(ins.keymap[48], 1);
    EXPECT_EQ(ins.volumeEnvelope.pointCount, 3);
    EXPECT_EQ(ins.volumeEnvelope.points[1].frame, 10);
    EXPECT_EQ(ins.volumeEnvelope.points[1].value, 64);
    EXPECT_TRUE(ins.volumeEnvelope.enabled && ins.volumeEnvelope.sustainEnabled);
    EXPECT_FALSE(ins.volumeEnvelope.loopEnabled);
    EXPECT_EQ(ins.volumeEnvelope.sustainPoint, 1);
    EXPECT_TRUE(ins.panningEnvelope.loopEnabled);
    EXPECT_EQ(ins.panningEnvelope.loopEnd, 1);
    EXPECT_EQ(ins.autovibratoDepth, 10);
    EXPECT_EQ(ins.autovibratoRate, 9);
    EXPECT_EQ(ins.autovibratoSweep, 40);
    EXPECT_EQ(ins.fadeout, 1200);

    const ModuleSample& eight = ins.samples[0];
    EXPECT_EQ(eight.bits, 8);
    ASSERT_EQ(eight.length, 6u);
    EXPECT_EQ(eight.loopType, ForwardLoop);
    EXPECT_EQ(eight.loopStart, 2u);
    EXPECT_EQ(eight.loopLength, 3u);
    EXPECT_FLOAT_EQ(eight.volume, 40 / 64.0f);
    EXPECT_EQ(eight.finetune, -27);
    EXPECT_EQ(eight.relativeNote, 29);
    EXPECT_FLOAT_EQ(eight.panning, 200 / 255.0f);
    const int8_t* bytes = static_cast<const int8_t*>(eight.data);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(bytes[i], m.instruments[0].samples[0].data[i] >> 8) << i;

    const ModuleSample& sixteen = ins.samples[1];
    EXPECT_EQ(sixteen.bits, 16);
    ASSERT_EQ(sixteen.length, 7u);
    EXPECT_EQ(sixteen.loopType, PingPongLoop);
    EXPECT_EQ(sixteen.loopStart, 1u);
    EXPECT_EQ(sixteen.loopEnd, 7u);
    const int16_t* words = static_cast<const int16_t*>(sixteen.data);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(words[i], m.instruments[0].samples[1].data[i]) << i;
}

TEST(XmWriter, RefusesWhatTheFormatCannotHold) {
    XmModule m = smallModule();
    m.orders.push_back(2); // no pattern 2
    EXPECT_THROW(writeXm(m), std::invalid_argument);
    m = smallModule();
    m.instruments[0].samples[1].loopLength = 7; // runs one frame past the end
    EXPECT_THROW(writeXm(m), std::invalid_argument);
    m = smallModule();
    m.instruments[0].volumeEnvelope.points.resize(13);
    EXPECT_THROW(writeXm(m), std::invalid_argument);
}

TEST(SongCutting, SharesIdenticalPatternsAndBreaksToTheRestartAtTheEnd) {
    Song song;
    song.note(5, KickChannel, 60, 1, 64);             // order 0
    song.note(128 * 2 + 5, KickChannel, 60, 1, 64);   // order 2, same as order 0
    song.effect(kSongRows - 1, KickChannel, 0x0F, 3); // the last row's first effect is taken
    XmModule m;
    cutIntoPatterns(song, 3, m);
    ASSERT_EQ(m.orders.size(), 98u); // 12512 rows in patterns of 128
    EXPECT_EQ(m.orders[0], m.orders[2]);
    EXPECT_NE(m.orders[0], m.orders[1]);
    EXPECT_EQ(m.patterns.size(), 3u); // the note, the empty one and the last
    const XmPattern& last = m.patterns[m.orders.back()];
    const int lastRow = kSongRows - 1 - 97 * 128;
    EXPECT_EQ(last.at(lastRow, KickChannel).effect, 0x0F);
    EXPECT_EQ(last.at(lastRow, SnareChannel).effect, 0x0D);
    EXPECT_EQ(last.at(lastRow, SnareChannel).param, 0);
    EXPECT_EQ(last.at(lastRow + 1, SnareChannel).effect, 0); // nothing after the end
    EXPECT_EQ(m.restartPosition, 3);
    EXPECT_THROW(cutIntoPatterns(song, 98, m), std::invalid_argument);
}

} // namespace
} // namespace composer
