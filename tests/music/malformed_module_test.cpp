// The player over corrupted modules: every load and render must stay inside the player's
// allocation and the input, finish, and produce numbers. Under the sanitizer build these
// cases run with AddressSanitizer and UndefinedBehaviorSanitizer watching.
#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <random>

#include "player_test_support.h"

// Mutations can ask for absurd allocations; the player must then report out of memory.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

using namespace xmtest;

namespace {

XmModule seedModule() {
    XmModule m;
    m.channels = 3;
    m.tempo = 2;
    m.bpm = 255;
    m.orders = {0, 1, 0};
    m.addPattern(8);
    m.addPattern(4);
    XmSample a;
    a.values = {0, 50, 100, 50, 0, -50, -100, -50};
    a.loopBits = 2;
    a.loopStart = 2;
    a.loopLength = 6;
    XmSample b;
    b.sixteenBit = true;
    b.values = {0, 3000, 6000, 3000, 0, -3000};
    b.loopBits = 1;
    b.loopStart = 1;
    b.loopLength = 4;
    XmInstrument in = singleSampleInstrument(a);
    in.samples.push_back(b);
    in.keymap.fill(1);
    in.volumeEnvelope.points = {{0, 64}, {4, 10}, {8, 40}};
    in.volumeEnvelope.type = 7;
    in.volumeEnvelope.sustain = 1;
    in.volumeEnvelope.loopEnd = 2;
    in.panningEnvelope.points = {{0, 0}, {5, 64}};
    in.panningEnvelope.type = 5;
    in.vibratoDepth = 3;
    in.vibratoRate = 9;
    in.fadeout = 800;
    m.instruments = {in, singleSampleInstrument(a)};
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 3; ++c) {
            m.cell(0, r, c) = {static_cast<uint8_t>(30 + r * 3 + c),
                               static_cast<uint8_t>(1 + c % 2), static_cast<uint8_t>(0x60 + r),
                               static_cast<uint8_t>(r * 4 + c),
                               static_cast<uint8_t>(0x13 * (r + 1))};
        }
    }
    m.cell(1, 1, 0) = {97, 0, 0xB3, 0x0E, 0x61};
    m.cell(1, 3, 1) = {50, 2, 0xF1, 0x1B, 0x42};
    return m;
}

uint64_t allocationBytes(const ModulePlayer* p) {
    return static_cast<uint64_t>(p->rowVisits - reinterpret_cast<const uint8_t*>(p)) +
           (p->songLength > 0 ? p->songLength : 1) * 256u;
}

// Creates and renders one (possibly broken) module; checks what must hold for any input.
void exercise(const std::vector<uint8_t>& bytes, uint32_t seed) {
    ModulePlayer* raw = nullptr;
    const int result = createModulePlayer(&raw, bytes.data(), bytes.size(), 22050);
    if (result != kPlayerOk) {
        EXPECT_TRUE(result == kPlayerInvalidModule || result == kPlayerOutOfMemory) << seed;
        EXPECT_EQ(raw, nullptr) << seed;
        return;
    }
    PlayerPtr player(raw);
    EXPECT_EQ(allocationBytes(raw), playerMemorySize(bytes.data(), bytes.size())) << seed;
    setLoopLimit(raw, static_cast<uint8_t>(seed % 3));
    std::vector<float> out(2 * 1500);
    for (int pass = 0; pass < 4; ++pass) {
        generateSamples(raw, out.data(), 1500);
        for (float v : out) {
            ASSERT_FALSE(std::isnan(v)) << seed;
        }
    }
}

} // namespace

TEST(MalformedModules, RandomByteMutationsLoadAndRenderSafely) {
    const std::vector<uint8_t> seed = seedModule().build();
    exercise(seed, 0);
    for (uint32_t s = 1; s <= 150; ++s) {
        std::mt19937 random(s);
        std::vector<uint8_t> bytes = seed;
        const int edits = 1 + static_cast<int>(random() % 12);
        for (int e = 0; e < edits && bytes.size() > 60; ++e) {
            const size_t at = 60 + random() % (bytes.size() - 60);
            switch (random() % 4) {
            case 0:
                bytes[at] = static_cast<uint8_t>(random());
                break;
            case 1:
                bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
                break;
            case 2:
                bytes[at] = random() % 2 ? 0xFF : 0x00;
                break;
            default:
                bytes.resize(std::max<size_t>(60, at));
                break;
            }
        }
        exercise(bytes, s);
    }
}

TEST(MalformedModules, HostileHeaderFields) {
    const std::vector<uint8_t> seed = seedModule().build();
    struct Field {
        size_t offset;
        std::vector<uint8_t> value;
    };
    const Field fields[] = {
        {60, {0, 0, 0, 0}}, {60, {0xFF, 0xFF, 0xFF, 0xFF}}, // header size
        {64, {0, 0}},       {64, {0xFF, 0xFF}},             // song length
        {66, {0xFF, 0xFF}}, {68, {0, 0}},                   // restart, no channels
        {68, {0xFF, 0}},    {70, {0, 1}},                   // 255 channels, 256 patterns
        {72, {0xFF, 0xFF}}, {76, {0, 0}},                   // instruments, tempo 0
        {76, {0xFF, 0xFF}}, {78, {0, 0}},                   // huge tempo, bpm 0
        {78, {0xFF, 0xFF}}, {80, {0xFE, 0xFF, 0x07}},       // huge bpm, orders
    };
    for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
        std::vector<uint8_t> bytes = seed;
        std::copy(fields[i].value.begin(), fields[i].value.end(), bytes.begin() + fields[i].offset);
        exercise(bytes, static_cast<uint32_t>(1000 + i));
    }
}
