#include <gtest/gtest.h>

#include <cmath>

#include <cstring>
#include <tuple>

#include "music/module_player.h"
#include "player_test_support.h"

using namespace xmtest;

namespace {

// A module that exercises every part of the file: two patterns, an instrument without
// samples, one with an 8-bit and a 16-bit sample and envelopes.
XmModule richModule() {
    XmModule m;
    m.channels = 3;
    m.orders = {0, 1, 0};
    m.addPattern(4);
    m.addPattern(2);
    m.cell(0, 0, 0) = {49, 2, 0x40, 0x0C, 0x20};
    m.cell(0, 1, 2) = {97, 0, 0, 0, 0};
    m.cell(1, 1, 1) = {0, 0, 0, 0x0F, 0x03};
    m.instruments.push_back(XmInstrument{});
    XmSample eight;
    eight.values = {1, 3, -5, 7, 127, -128};
    eight.loopBits = 1;
    eight.loopStart = 2;
    eight.loopLength = 3;
    XmSample sixteen;
    sixteen.sixteenBit = true;
    sixteen.values = {1000, -1000, 32767, -32768};
    XmInstrument instrument;
    instrument.samples = {eight, sixteen};
    instrument.keymap[48] = 1;
    instrument.volumeEnvelope.points = {{0, 64}, {10, 32}, {20, 0}};
    instrument.volumeEnvelope.type = 7;
    instrument.volumeEnvelope.sustain = 1;
    instrument.volumeEnvelope.loopEnd = 2;
    instrument.fadeout = 500;
    instrument.vibratoType = 1;
    instrument.vibratoDepth = 4;
    m.instruments.push_back(instrument);
    return m;
}

// A cell's five columns, comparable as one value.
std::tuple<int, int, int, int, int> columns(const PatternCell& c) {
    return {c.note, c.instrument, c.volumeColumn, c.effectType, c.effectParam};
}

uint8_t* allocationEnd(const ModulePlayer* p) {
    return p->rowVisits + (p->songLength > 0 ? p->songLength : 1) * 256;
}

} // namespace

TEST(ModuleHeader, ChecksInTheStatedOrder) {
    std::vector<uint8_t> bytes = richModule().build();
    EXPECT_EQ(checkModuleHeader(bytes.data(), bytes.size()), kHeaderValid);
    EXPECT_EQ(checkModuleHeader(bytes.data(), 59), kHeaderTooShort);
    // Header bytes changed, and the result: the ID is checked before the marker; 256 channels.
    struct Case {
        std::vector<std::pair<size_t, uint8_t>> edits;
        int result;
    };
    const Case cases[] = {{{{16, '!'}, {37, 0}}, kHeaderWrongId},
                          {{{37, 0x1B}}, kHeaderNoEofMarker},
                          {{{58, 3}}, kHeaderWrongVersion},
                          {{{68, 0}, {69, 1}}, kHeaderTooManyChannels}};
    for (const Case& k : cases) {
        SCOPED_TRACE(moduleHeaderError(k.result));
        std::vector<uint8_t> refused = bytes;
        for (auto [at, value] : k.edits) {
            refused[at] = value;
        }
        EXPECT_EQ(checkModuleHeader(refused.data(), refused.size()), k.result);
        // Every refusal is reported as an invalid module and leaves the output untouched.
        ModulePlayer* out = reinterpret_cast<ModulePlayer*>(0x1234);
        EXPECT_EQ(createModulePlayer(&out, refused.data(), refused.size(), 44100),
                  kPlayerInvalidModule);
        EXPECT_EQ(out, reinterpret_cast<ModulePlayer*>(0x1234));
    }
    ModulePlayer* out = nullptr;
    EXPECT_EQ(createModulePlayer(&out, bytes.data(), 59, 44100), kPlayerInvalidModule);
    EXPECT_EQ(createModulePlayer(&out, bytes.data(), bytes.size(), 0), kPlayerInvalidModule);
    EXPECT_EQ(out, nullptr);
    EXPECT_STRNE(moduleHeaderError(kHeaderWrongVersion), moduleHeaderError(kHeaderWrongId));
}

TEST(ModuleLoader, LoadsHeaderPatternsInstrumentsAndSamples) {
    PlayerPtr p = createPlayer(richModule().build());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->songLength, 3);
    EXPECT_EQ(p->channelCount, 3);
    EXPECT_EQ(p->patternCount, 2);
    EXPECT_EQ(p->instrumentCount, 2);
    EXPECT_EQ(p->frequencyMode, LinearTable);
    EXPECT_EQ(p->tempo, 6);
    EXPECT_EQ(p->bpm, 125);
    EXPECT_EQ(p->orderTable[1], 1);
    EXPECT_EQ(p->orderTable[3], 0);
    EXPECT_EQ(p->globalVolume, 1.0f);
    EXPECT_EQ(p->amplification, 0.25f);
    EXPECT_EQ(p->rampStep, 1.0f / 128.0f);

    EXPECT_EQ(columns(p->patterns[0].cells[0]), std::tuple(49, 2, 0x40, 0x0C, 0x20));
    EXPECT_EQ(p->patterns[0].cells[1 * 3 + 2].note, 97);
    EXPECT_EQ(p->patterns[1].rowCount, 2);
    EXPECT_EQ(p->patterns[1].cells[1 * 3 + 1].effectParam, 3);

    const ModuleInstrument& empty = p->instruments[0];
    EXPECT_EQ(empty.sampleCount, 0);
    EXPECT_EQ(empty.samples, nullptr);

    const ModuleInstrument& in = p->instruments[1];
    ASSERT_EQ(in.sampleCount, 2);
    EXPECT_EQ(in.keymap[48], 1);
    EXPECT_EQ(in.volumeEnvelope.pointCount, 3);
    EXPECT_EQ(in.volumeEnvelope.points[1].frame, 10);
    EXPECT_EQ(in.volumeEnvelope.points[1].value, 32);
    EXPECT_TRUE(in.volumeEnvelope.enabled && in.volumeEnvelope.sustainEnabled &&
                in.volumeEnvelope.loopEnabled);
    EXPECT_EQ(in.autovibratoWaveform, Square); // file type 1
    EXPECT_EQ(in.fadeout, 500);

    const ModuleSample& eight = in.samples[0];
    EXPECT_EQ(eight.bits, 8);
    EXPECT_EQ(eight.length, 6u);
    EXPECT_EQ(eight.loopType, ForwardLoop);
    EXPECT_EQ(eight.loopStart, 2u);
    EXPECT_EQ(eight.loopEnd, 5u);
    EXPECT_EQ(eight.volume, 1.0f);
    const int8_t expected8[] = {1, 3, -5, 7, 127, -128};
    EXPECT_EQ(std::memcmp(eight.data, expected8, 6), 0);
    const ModuleSample& sixteen = in.samples[1];
    EXPECT_EQ(sixteen.bits, 16);
    EXPECT_EQ(sixteen.length, 4u);
    const int16_t expected16[] = {1000, -1000, 32767, -32768};
    EXPECT_EQ(std::memcmp(sixteen.data, expected16, sizeof expected16), 0);

    // The loader fills exactly the allocation that the memory walk sized.
    std::vector<uint8_t> bytes = richModule().build();
    EXPECT_EQ(allocationEnd(p.get()),
              reinterpret_cast<uint8_t*>(p.get()) + playerMemorySize(bytes.data(), bytes.size()));
}

TEST(ModuleLoader, TruncationAnywhereLoadsWithZerosForTheMissingTail) {
    const std::vector<uint8_t> full = richModule().build();
    for (size_t size = 60; size <= full.size(); ++size) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + size);
        PlayerPtr p = createPlayer(cut);
        ASSERT_TRUE(p) << size;
        EXPECT_EQ(allocationEnd(p.get()),
                  reinterpret_cast<uint8_t*>(p.get()) + playerMemorySize(cut.data(), cut.size()))
            << size;
        if (size <= 74) {
            EXPECT_EQ(p->frequencyMode, AmigaTable) << size;
        }
        std::vector<float> out = render(p.get(), 300);
        for (float v : out) {
            ASSERT_TRUE(std::isfinite(v)) << size;
        }
    }
}

TEST(ModuleLoader, InstrumentHeaderSizesOfZeroAndAbove263MeanTheFullHeader) {
    for (uint32_t stated : {0u, 300u}) {
        XmModule m = moduleWithSample(constantSample(8, 5));
        m.instruments[0].headerSize = stated;
        m.instruments[0].keymap[10] = 0;
        m.instruments[0].fadeout = 1234;
        m.instruments.push_back(singleSampleInstrument(constantSample(3, 7)));
        PlayerPtr p = createPlayer(m.build());
        ASSERT_TRUE(p) << stated;
        EXPECT_EQ(p->instruments[0].fadeout, 1234) << stated;
        ASSERT_EQ(p->instruments[1].sampleCount, 1) << stated;
        EXPECT_EQ(static_cast<const int8_t*>(p->instruments[1].samples[0].data)[2], 7);
    }
}

TEST(ModuleLoader, ShortInstrumentHeaderReadsMissingFieldsAsZero) {
    // A header of 29 bytes holds the sample count but no keymap or envelopes: the bytes that
    // follow are the sample header and must not be taken as instrument fields.
    XmModule m = moduleWithSample(constantSample(4, 9));
    m.instruments[0].headerSize = 29;
    m.instruments[0].fadeout = 999;
    m.instruments[0].volumeEnvelope.points = {{0, 64}, {5, 0}};
    m.instruments[0].volumeEnvelope.type = 1;
    PlayerPtr p = createPlayer(m.build());
    ASSERT_TRUE(p);
    const ModuleInstrument& in = p->instruments[0];
    ASSERT_EQ(in.sampleCount, 1);
    EXPECT_EQ(in.fadeout, 0);
    EXPECT_EQ(in.volumeEnvelope.enabled, 0);
    EXPECT_EQ(in.samples[0].length, 4u);
    EXPECT_EQ(static_cast<const int8_t*>(in.samples[0].data)[3], 9);
}

TEST(ModuleLoader, InstrumentWithoutSamplesIgnoresItsHeader) {
    XmModule m;
    m.addPattern(1);
    XmInstrument in;
    in.keymap.fill(3);
    in.volumeEnvelope.points = {{0, 64}, {5, 0}};
    in.volumeEnvelope.type = 7;
    in.headerSize = 263;
    m.instruments.push_back(in);
    m.instruments.push_back(singleSampleInstrument(constantSample(2, 1)));
    PlayerPtr p = createPlayer(m.build());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->instruments[0].samples, nullptr);
    EXPECT_EQ(p->instruments[0].keymap[0], 0);
    EXPECT_EQ(p->instruments[0].volumeEnvelope.enabled, 0);
    EXPECT_EQ(p->instruments[1].sampleCount, 1);
}

TEST(ModuleLoader, SixteenBitOddLengthsKeepTheFileOffsets) {
    XmModule m = moduleWithSample(XmSample{});
    XmSample odd;
    odd.sixteenBit = true;
    odd.values.assign(50, 100);
    odd.lengthBytes = 101;
    XmSample next;
    next.values = {42, 43};
    m.instruments[0].samples = {odd, next};
    PlayerPtr p = createPlayer(m.build());
    ASSERT_TRUE(p);
    const ModuleSample& s0 = p->instruments[0].samples[0];
    const ModuleSample& s1 = p->instruments[0].samples[1];
    EXPECT_EQ(s0.length, 50u);
    EXPECT_GE(static_cast<const uint8_t*>(s1.data) - static_cast<const uint8_t*>(s0.data), 101);
    EXPECT_EQ(static_cast<const int8_t*>(s1.data)[0], 42);
    EXPECT_EQ(static_cast<const int8_t*>(s1.data)[1], 43);

    XmModule even = moduleWithSample(XmSample{});
    even.instruments[0].samples[0].sixteenBit = true;
    even.instruments[0].samples[0].values.assign(50, 1);
    PlayerPtr q = createPlayer(even.build());
    EXPECT_EQ(q->instruments[0].samples[0].length, 50u);
}

TEST(ModuleLoader, LoopPointsAreClampedAndTyped) {
    struct Case {
        uint32_t start, length;
        uint8_t bits;
        bool sixteen;
        LoopType type;
        uint32_t loopStart, loopEnd, loopLength;
    };
    const Case cases[] = {
        {20, 4, 1, false, NoLoop, 10, 10, 0},     // start past the end
        {6, 10, 1, false, ForwardLoop, 6, 10, 4}, // end clamped to the length
        {2, 4, 3, false, PingPongLoop, 2, 6, 4},  // both loop bits: ping-pong
        {2, 4, 2, false, PingPongLoop, 2, 6, 4},
        {2, 0, 1, false, NoLoop, 2, 2, 0},                // no length, no loop
        {3, 1, 1, true, ForwardLoop, 1, 2, 0},            // 16-bit loop of one byte
        {4, 0xFFFFFFFE, 1, false, ForwardLoop, 4, 10, 6}, // a loop end past 2^32
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << "+" << c.length);
        XmSample s;
        s.sixteenBit = c.sixteen;
        s.values.assign(c.sixteen ? 5 : 10, 1);
        s.loopBits = c.bits;
        s.loopStartBytes = c.start;
        s.loopLengthBytes = c.length;
        PlayerPtr p = createPlayer(moduleWithSample(s).build());
        ASSERT_TRUE(p);
        const ModuleSample& loaded = p->instruments[0].samples[0];
        EXPECT_EQ(std::tuple(loaded.loopType, loaded.loopStart, loaded.loopEnd, loaded.loopLength),
                  std::tuple(c.type, c.loopStart, c.loopEnd, c.loopLength));
    }
}

TEST(ModuleLoader, EnvelopeCountsAndLoopPointsAreClamped) {
    XmModule m = moduleWithSample(constantSample(4, 1));
    XmEnvelope& e = m.instruments[0].volumeEnvelope;
    e.points = {{0, 10}, {4, 20}, {8, 30}};
    e.loopStart = 9;
    e.loopEnd = 200;
    e.sustain = 50;
    m.instruments[0].panningEnvelope.countOverride = 40;
    PlayerPtr p = createPlayer(m.build());
    ASSERT_TRUE(p);
    const Envelope& v = p->instruments[0].volumeEnvelope;
    EXPECT_EQ(v.loopStart, 2);
    EXPECT_EQ(v.loopEnd, 2);
    EXPECT_EQ(v.sustainPoint, 50); // kept as read
    EXPECT_EQ(p->instruments[0].panningEnvelope.pointCount, 12);
}

TEST(ModuleLoader, PackedCellForms) {
    XmModule m;
    m.channels = 2;
    m.addPattern(2);
    // 0x80 alone (empty), a mask with note and effect param, a plain cell, then bytes
    // describing more cells than the pattern's four, which must not be written anywhere.
    std::vector<uint8_t> packed = {0x80, 0x91, 60, 0x33, 61, 2, 0x10, 0x0A, 0x0F, 0x81, 62};
    for (int extra = 0; extra < 30; ++extra) {
        packed.push_back(0x9F);
        packed.insert(packed.end(), {1, 1, 1, 1, 1});
    }
    m.patterns[0].packedOverride = packed;
    // The next pattern follows the packed data; with packed size 0 its cells stay empty, so
    // any cell written past the first pattern's own would show here.
    m.addPattern(4);
    m.patterns[1].packedOverride = std::vector<uint8_t>{};
    m.addPattern(1);
    m.cell(2, 0, 1) = {5, 0, 0, 0, 0};
    m.patterns[2].packing = Packing::Plain;
    PlayerPtr p = createPlayer(m.build());
    ASSERT_TRUE(p);
    const PatternCell* c = p->patterns[0].cells;
    EXPECT_EQ(columns(c[0]), std::tuple(0, 0, 0, 0, 0));
    EXPECT_EQ(columns(c[1]), std::tuple(60, 0, 0, 0, 0x33));
    EXPECT_EQ(columns(c[2]), std::tuple(61, 2, 0x10, 0x0A, 0x0F));
    EXPECT_EQ(columns(c[3]), std::tuple(62, 0, 0, 0, 0));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(p->patterns[1].cells[i].note, 0) << i;
    }
    EXPECT_EQ(p->patterns[2].cells[1].note, 5);
    EXPECT_EQ(p->patterns[2].cells[0].note, 0);
}

TEST(ModuleLoader, ChannelsStartWithTheirInitialValues) {
    XmModule m;
    m.channels = 2;
    m.addPattern(1);
    PlayerPtr p = createPlayer(m.build());
    for (int i = 0; i < 2; ++i) {
        const PlayerChannel& c = p->channels[i];
        EXPECT_EQ(c.pingForward, 1);
        EXPECT_EQ(c.vibratoRetrigger, 1);
        EXPECT_EQ(c.tremoloRetrigger, 1);
        EXPECT_EQ(c.fadeoutVolume, 1.0f);
        EXPECT_EQ(c.volumeEnvelopeValue, 1.0f);
        EXPECT_EQ(c.volume, 1.0f);
        EXPECT_EQ(c.panning, 0.5f);
        EXPECT_EQ(c.panningEnvelopeValue, 0.5f);
        EXPECT_EQ(c.instrument, nullptr);
        EXPECT_EQ(c.actualVolume[0], 0.0f);
    }
    EXPECT_EQ(p->currentOrder, 0);
    EXPECT_EQ(p->samplesUntilTick, 0.0f);
}

TEST(ModuleLoader, RefusesModulesThatAskForMoreThanTheMemoryLimit) {
    XmModule m = moduleWithSample(constantSample(4, 1));
    m.instruments[0].samples[0].lengthBytes = 4; // sized right, then the header lies:
    std::vector<uint8_t> bytes = m.build();
    const size_t lengthField = bytes.size() - 4 - 40;
    const uint32_t huge = static_cast<uint32_t>(kMaxPlayerBytes) + 1;
    std::memcpy(&bytes[lengthField], &huge, 4);
    EXPECT_GT(playerMemorySize(bytes.data(), bytes.size()), kMaxPlayerBytes);
    ModulePlayer* out = nullptr;
    EXPECT_EQ(createModulePlayer(&out, bytes.data(), bytes.size(), 44100), kPlayerOutOfMemory);
    EXPECT_EQ(out, nullptr);

    // Just below the limit it loads, and the missing data holds the last running sum.
    const uint32_t large = 64u << 20;
    std::memcpy(&bytes[lengthField], &large, 4);
    PlayerPtr p = createPlayer(bytes);
    ASSERT_TRUE(p);
    const ModuleSample& s = p->instruments[0].samples[0];
    EXPECT_EQ(s.length, large);
    EXPECT_EQ(static_cast<const int8_t*>(s.data)[large - 1], 1);
}
