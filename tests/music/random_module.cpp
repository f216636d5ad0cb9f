#include "random_module.h"

#include <algorithm>

namespace xmtest {

uint32_t Choices::below(uint32_t bound) {
    uint32_t value = 0;
    for (uint32_t reach = 1; reach < bound && reach != 0; reach <<= 8) {
        value = value << 8 | byte();
    }
    return bound == 0 ? 0 : value % bound;
}

uint8_t SeededChoices::byte() {
    // xorshift64*: fast, and a seed gives the same module on every machine.
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<uint8_t>((state_ * 0x2545F4914F6CDD1Dull) >> 56);
}

namespace {

// Sizes from the corners (0, 1, the end, one past) and from anywhere up to `limit`.
uint32_t edgyLength(Choices& c, uint32_t end, uint32_t limit) {
    const uint32_t corners[] = {0, 1, end, end + 1, end > 0 ? end - 1 : 0};
    return c.percent(40) ? corners[c.below(5)] : c.below(limit + 1);
}

XmSample randomSample(Choices& c) {
    XmSample s;
    s.sixteenBit = c.percent(50);
    const uint32_t length = c.percent(30) ? edgyLength(c, 4, 64) : c.below(4000);
    // Noise, a square wave or a ramp: steps through the data show as changing values.
    const uint32_t shape = c.below(3);
    const uint32_t period = 1 + c.below(64);
    const int range = s.sixteenBit ? 32768 : 128;
    SeededChoices noise(c.below(65536));
    for (uint32_t i = 0; i < length; ++i) {
        const int v = shape == 0   ? static_cast<int>(noise.below(2 * range)) - range
                      : shape == 1 ? (i / period % 2 ? range - 1 : -range)
                                   : static_cast<int>(i % period * 2 * range / period) - range;
        s.values.push_back(static_cast<int16_t>(v));
    }
    s.loopBits = static_cast<uint8_t>(c.below(4));
    // Loop points in bytes, so that 16-bit loops may also start or end inside a frame.
    const uint32_t bytes = length * (s.sixteenBit ? 2 : 1);
    s.loopStartBytes = edgyLength(c, bytes, bytes + 2);
    s.loopLengthBytes = edgyLength(c, bytes - std::min(bytes, *s.loopStartBytes), bytes + 2);
    s.volume = static_cast<uint8_t>(c.below(72));
    s.finetune = static_cast<int8_t>(c.below(256));
    s.panning = static_cast<uint8_t>(c.below(256));
    s.relativeNote = static_cast<int8_t>(c.percent(80) ? c.below(49) - 24 : c.below(256));
    return s;
}

XmEnvelope randomEnvelope(Choices& c) {
    XmEnvelope e;
    uint16_t frame = 0;
    for (uint32_t k = c.below(14); k > 0; --k) {
        e.points.emplace_back(frame, c.below(72));
        frame = static_cast<uint16_t>(c.percent(90) ? frame + c.below(40) : c.below(65536));
    }
    if (c.percent(5)) {
        e.countOverride = static_cast<uint8_t>(c.below(256));
    }
    e.sustain = static_cast<uint8_t>(c.below(16));
    e.loopStart = static_cast<uint8_t>(c.below(16));
    e.loopEnd = static_cast<uint8_t>(c.below(16));
    e.type = static_cast<uint8_t>(c.below(8));
    return e;
}

XmInstrument randomInstrument(Choices& c) {
    XmInstrument in;
    for (uint32_t k = c.percent(10) ? 0 : 1 + c.below(3); k > 0; --k) {
        in.samples.push_back(randomSample(c));
    }
    const uint32_t regions = 1 + c.below(4);
    for (size_t n = 0; n < in.keymap.size(); ++n) {
        in.keymap[n] =
            static_cast<uint8_t>(n * regions / in.keymap.size() % (in.samples.size() + 1));
    }
    in.volumeEnvelope = randomEnvelope(c);
    in.panningEnvelope = randomEnvelope(c);
    in.vibratoType = static_cast<uint8_t>(c.below(6));
    in.vibratoSweep = static_cast<uint8_t>(c.below(256));
    // Deep autovibratos swing a period near 0 to either side, the step with it.
    in.vibratoDepth = static_cast<uint8_t>(c.percent(30)   ? 0
                                           : c.percent(50) ? 0x80 + c.below(128)
                                                           : c.below(256));
    in.vibratoRate = static_cast<uint8_t>(c.below(256));
    in.fadeout = static_cast<uint16_t>(c.percent(50) ? c.below(4096) : c.below(65536));
    if (c.percent(3)) {
        // Cut short (fields past the end read as 0) or out of range (taken as 263); never so
        // short that the sample count is cut off while the samples are still written.
        in.headerSize = c.percent(20) ? 0 : 29 + c.below(271);
    }
    return in;
}

// A column's favourite volume-column byte and effect. Half of them move the pitch: one
// habit sliding the period to an extreme and the next one swinging it is what drives steps
// past every bound.
XmCell randomHabit(Choices& c) {
    static constexpr uint8_t kPitchEffects[] = {0x00, 0x01, 0x01, 0x02, 0x03,
                                                0x04, 0x05, 0x06, 0x0E, 0x21};
    XmCell habit;
    habit.volume = static_cast<uint8_t>(c.below(256));
    habit.effect = c.percent(50) ? kPitchEffects[c.below(sizeof(kPitchEffects))]
                                 : static_cast<uint8_t>(c.below(36));
    habit.param = static_cast<uint8_t>(c.below(256));
    return habit;
}

// A note, often from the top octave, where Amiga periods are small enough for a vibrato
// to swing them below 0.
uint8_t randomNote(Choices& c) {
    return static_cast<uint8_t>(c.percent(30) ? 85 + c.below(12) : 1 + c.below(96));
}

XmCell randomCell(Choices& c, uint32_t instruments, const XmCell& favourite) {
    XmCell cell;
    if (c.percent(35)) {
        cell.note = c.percent(3) ? 97 : randomNote(c);
    }
    if (c.percent(cell.note != 0 ? 70 : 10)) {
        cell.instrument = static_cast<uint8_t>(1 + c.below(instruments + 1));
    }
    cell.volume = static_cast<uint8_t>(c.percent(50)   ? favourite.volume
                                       : c.percent(50) ? 0
                                                       : c.below(256));
    const uint32_t effect = c.below(100);
    if (effect < 45) {
        cell.effect = favourite.effect;
        cell.param = c.percent(50) ? favourite.param : static_cast<uint8_t>(c.below(256));
    } else if (effect < 75) {
        cell.effect = static_cast<uint8_t>(c.below(36));
        cell.param = static_cast<uint8_t>(c.percent(15) ? 0 : c.below(256));
    }
    return cell;
}

} // namespace

XmModule randomModule(Choices& c) {
    XmModule m;
    m.linear = c.percent(50);
    m.channels = static_cast<uint16_t>(1 + c.below(10));
    // Mostly short ticks and rows, so that a short render meets many of them.
    m.tempo = static_cast<uint16_t>(1 + c.below(c.percent(80) ? 8 : 31));
    m.bpm = static_cast<uint16_t>(c.percent(80) ? 100 + c.below(156) : 32 + c.below(224));
    for (uint32_t k = 1 + c.below(3); k > 0; --k) {
        m.addPattern(static_cast<uint16_t>(1 + c.below(48)));
    }
    m.orders.clear();
    for (uint32_t k = 1 + c.below(5); k > 0; --k) {
        // Now and then a pattern number past the last pattern: 64 empty rows.
        const auto patterns = static_cast<uint32_t>(m.patterns.size());
        m.orders.push_back(static_cast<uint8_t>(c.percent(10) ? patterns : c.below(patterns)));
    }
    m.restart = static_cast<uint16_t>(c.below(static_cast<uint32_t>(m.orders.size()) + 1));
    for (uint32_t k = 1 + c.below(3); k > 0; --k) {
        m.instruments.push_back(randomInstrument(c));
    }
    const auto instruments = static_cast<uint32_t>(m.instruments.size());
    for (XmPattern& pattern : m.patterns) {
        pattern.packing = c.percent(20) ? Packing::Plain : Packing::Mask;
        for (uint16_t channel = 0; channel < m.channels; ++channel) {
            XmCell favourite;
            uint32_t change = 0;
            for (uint16_t row = 0; row < pattern.rows; ++row) {
                if (row == change) {
                    favourite = randomHabit(c);
                    change += 1 + c.below(16);
                }
                XmCell& cell = pattern.cells[static_cast<size_t>(row) * m.channels + channel] =
                    randomCell(c, instruments, favourite);
                if (row == 0 && c.percent(80)) {
                    cell.note = randomNote(c);
                    cell.instrument = static_cast<uint8_t>(1 + c.below(instruments));
                }
            }
        }
    }
    return m;
}

} // namespace xmtest
