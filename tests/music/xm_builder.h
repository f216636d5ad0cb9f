// Builds XM modules in memory, field by field, so that each test can make the module it
// needs. Values are given decoded (notes, sample values in frames); the builder writes the
// file form: packed pattern cells, delta-coded samples, byte-sized loop points.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct ModulePlayer;

namespace xmtest {

struct XmCell {
    uint8_t note = 0;
    uint8_t instrument = 0;
    uint8_t volume = 0;
    uint8_t effect = 0;
    uint8_t param = 0;
};

enum class Packing {
    Mask,  // every cell in the masked form (0x80 | fields present)
    Plain, // every cell as five plain bytes (bit 7 of the note clear)
};

struct XmPattern {
    uint16_t rows = 64;
    std::vector<XmCell> cells; // rows x channels, row-major
    Packing packing = Packing::Mask;
    // When set, written as the packed data in place of the cells (packed size = its size).
    std::optional<std::vector<uint8_t>> packedOverride;
    uint32_t headerLength = 9;
};

struct XmSample {
    std::vector<int16_t> values; // decoded values; 8-bit samples use -128..127
    bool sixteenBit = false;
    uint8_t loopBits = 0;    // type bits 0-1: 0 none, 1 forward, 2 or 3 ping-pong
    uint32_t loopStart = 0;  // in frames
    uint32_t loopLength = 0; // in frames
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
    // Overrides of the header's byte fields, for loader tests of inconsistent sizes.
    std::optional<uint32_t> lengthBytes;
    std::optional<uint32_t> loopStartBytes;
    std::optional<uint32_t> loopLengthBytes;
};

struct XmEnvelope {
    std::vector<std::pair<uint16_t, uint16_t>> points; // (frame, value)
    uint8_t sustain = 0;
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
    uint8_t type = 0; // bit 0 on, bit 1 sustain, bit 2 loop
    std::optional<uint8_t> countOverride;
};

struct XmInstrument {
    std::vector<XmSample> samples;
    std::array<uint8_t, 96> keymap{};
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    uint8_t vibratoType = 0;
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
    uint16_t fadeout = 0;
    uint32_t headerSize = 263; // as written in the file; the header occupies min(it, 263)
                               // bytes, or 263 when 0 or above 263
    std::optional<uint16_t> sampleCountOverride;
};

struct XmModule {
    uint16_t channels = 4;
    std::vector<uint8_t> orders{0};
    std::optional<uint16_t> songLength; // default: orders.size()
    uint16_t restart = 0;
    bool linear = true;
    uint16_t tempo = 6;
    uint16_t bpm = 125;
    uint32_t headerSize = 276;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;

    // Adds an empty pattern of `rows` rows; returns its index.
    int addPattern(uint16_t rows = 64);
    XmCell& cell(int pattern, int row, int channel);
    std::vector<uint8_t> build() const;
};

// An instrument whose every note plays the one given sample.
XmInstrument singleSampleInstrument(XmSample sample);
// A sample of `length` values, all `value` (8-bit).
XmSample constantSample(uint32_t length, int16_t value);

// Owning handle of a created player.
struct PlayerDeleter {
    void operator()(ModulePlayer* player) const;
};
using PlayerPtr = std::unique_ptr<ModulePlayer, PlayerDeleter>;
// Creates a player over the bytes; null when creation fails.
PlayerPtr createPlayer(const std::vector<uint8_t>& bytes, uint32_t sampleRate = 44100);

} // namespace xmtest
