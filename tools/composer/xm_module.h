// The in-memory form of an Extended Module (XM 0x0104) as the composer builds it, before it
// is packed into bytes by writeXm. Sample data is kept as signed 16-bit values whatever the
// stored bit depth; 8-bit samples are narrowed when written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace composer {

// Cell note values: 1..96 are C-0..B-7, 97 releases the key.
constexpr uint8_t kKeyOff = 97;

struct XmCell {
    uint8_t note = 0;
    uint8_t instrument = 0;
    uint8_t volume = 0; // the volume column byte; 0 = empty
    uint8_t effect = 0;
    uint8_t param = 0;

    bool empty() const { return !note && !instrument && !volume && !effect && !param; }
    bool operator==(const XmCell& o) const {
        return note == o.note && instrument == o.instrument && volume == o.volume &&
               effect == o.effect && param == o.param;
    }
};

struct XmPattern {
    int rows = 0;
    int channels = 0;
    std::vector<XmCell> cells; // rows x channels, row-major

    XmCell& at(int row, int channel) { return cells[size_t(row) * channels + channel]; }
    const XmCell& at(int row, int channel) const { return cells[size_t(row) * channels + channel]; }
};

struct XmEnvelopePoint {
    uint16_t frame; // in ticks
    uint16_t value; // 0..64
};

struct XmEnvelope {
    std::vector<XmEnvelopePoint> points; // at most 12
    uint8_t sustainPoint = 0;
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
    bool enabled = false;
    bool sustain = false;
    bool loop = false;
};

enum class XmLoop : uint8_t { None = 0, Forward = 1, PingPong = 2 };

struct XmSample {
    std::string name;
    std::vector<int16_t> data;
    bool sixteenBit = true;
    XmLoop loop = XmLoop::None;
    uint32_t loopStart = 0; // in frames
    uint32_t loopLength = 0;
    uint8_t volume = 64;   // 0..64
    int8_t finetune = 0;   // 1/128 semitone
    uint8_t panning = 128; // 0 left .. 255 right
    int8_t relativeNote = 0;
};

struct XmInstrument {
    std::string name;
    std::vector<XmSample> samples;
    uint8_t keymap[96] = {}; // sample index for each note
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    uint8_t vibratoType = 0; // 0 sine, 1 square, 2 ramp down, 3 ramp up
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
    uint16_t fadeout = 0;
};

struct XmModule {
    std::string name;
    int channels = 8;
    uint16_t restartPosition = 0;
    uint16_t tempo = 6; // ticks per row
    uint16_t bpm = 125;
    bool linearFrequencies = true;
    std::vector<uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

} // namespace composer
