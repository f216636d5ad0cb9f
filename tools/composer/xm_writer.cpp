#include "xm_writer.h"

#include <stdexcept>
#include <string>

namespace composer {
namespace {

constexpr uint32_t kHeaderSize = 276;
constexpr uint32_t kInstrumentHeaderSize = 263;
constexpr uint32_t kSampleHeaderSize = 40;

class ByteWriter {
public:
    void u8(uint32_t v) { bytes_.push_back(uint8_t(v)); }
    void u16(uint32_t v) {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // Fixed-width text field, cut or padded with `pad`.
    void text(const std::string& s, size_t width, uint8_t pad = 0) {
        for (size_t i = 0; i < width; ++i)
            u8(i < s.size() ? uint8_t(s[i]) : pad);
    }
    void zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void append(const std::vector<uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    size_t size() const { return bytes_.size(); }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

void require(bool ok, const char* what) {
    if (!ok)
        throw std::invalid_argument(what);
}

// A cell with every field present is stored as five plain bytes; any other cell as a mask byte
// with bit 7 set followed by only the fields it has, which is never longer.
void packCell(const XmCell& c, std::vector<uint8_t>& out) {
    const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
    uint8_t mask = 0;
    for (int i = 0; i < 5; ++i)
        if (fields[i])
            mask |= uint8_t(1 << i);
    if (mask == 0x1F) {
        out.insert(out.end(), fields, fields + 5);
        return;
    }
    out.push_back(0x80 | mask);
    for (int i = 0; i < 5; ++i)
        if (fields[i])
            out.push_back(fields[i]);
}

void writePattern(ByteWriter& w, const XmPattern& p, int channels) {
    require(p.rows >= 1 && p.rows <= 256, "pattern row count must be 1..256");
    require(p.channels == channels, "pattern channel count differs from the module's");
    std::vector<uint8_t> packed;
    for (const XmCell& c : p.cells) {
        require(c.note <= kKeyOff, "cell note above key off");
        packCell(c, packed);
    }
    require(packed.size() <= 0xFFFF, "packed pattern exceeds 65535 bytes");
    w.u32(9);
    w.u8(0);
    w.u16(uint32_t(p.rows));
    w.u16(uint32_t(packed.size()));
    w.append(packed);
}

uint8_t envelopeType(const XmEnvelope& e) {
    return uint8_t((e.enabled ? 1 : 0) | (e.sustain ? 2 : 0) | (e.loop ? 4 : 0));
}

void writeEnvelopePoints(ByteWriter& w, const XmEnvelope& e) {
    require(e.points.size() <= 12, "an envelope has at most 12 points");
    for (size_t i = 0; i < 12; ++i) {
        w.u16(i < e.points.size() ? e.points[i].frame : 0);
        w.u16(i < e.points.size() ? e.points[i].value : 0);
    }
}

void writeSampleHeader(ByteWriter& w, const XmSample& s) {
    const uint32_t bytesPerFrame = s.sixteenBit ? 2 : 1;
    require(s.loop == XmLoop::None || s.loopStart + s.loopLength <= s.data.size(),
            "sample loop runs past the sample's end");
    w.u32(uint32_t(s.data.size()) * bytesPerFrame);
    w.u32(s.loop == XmLoop::None ? 0 : s.loopStart * bytesPerFrame);
    w.u32(s.loop == XmLoop::None ? 0 : s.loopLength * bytesPerFrame);
    w.u8(s.volume);
    w.u8(uint8_t(s.finetune));
    w.u8(uint8_t(uint8_t(s.loop) | (s.sixteenBit ? 0x10 : 0)));
    w.u8(s.panning);
    w.u8(uint8_t(s.relativeNote));
    w.u8(0);
    w.text(s.name, 22);
}

// Sample data is stored as differences from the previous value, wrapping at the bit depth.
void writeSampleData(ByteWriter& w, const XmSample& s) {
    int previous = 0;
    for (int16_t v : s.data) {
        const int value = s.sixteenBit ? v : (v >> 8);
        const int delta = value - previous;
        previous = value;
        if (s.sixteenBit)
            w.u16(uint32_t(delta) & 0xFFFF);
        else
            w.u8(uint32_t(delta) & 0xFF);
    }
}

void writeInstrument(ByteWriter& w, const XmInstrument& ins) {
    require(ins.samples.size() <= 16, "an instrument has at most 16 samples");
    const size_t start = w.size();
    w.u32(kInstrumentHeaderSize);
    w.text(ins.name, 22);
    w.u8(0);
    w.u16(uint32_t(ins.samples.size()));
    w.u32(kSampleHeaderSize);
    for (uint8_t k : ins.keymap) {
        require(ins.samples.empty() || k < ins.samples.size(), "keymap names a missing sample");
        w.u8(k);
    }
    writeEnvelopePoints(w, ins.volumeEnvelope);
    writeEnvelopePoints(w, ins.panningEnvelope);
    w.u8(uint32_t(ins.volumeEnvelope.points.size()));
    w.u8(uint32_t(ins.panningEnvelope.points.size()));
    for (const XmEnvelope* e : {&ins.volumeEnvelope, &ins.panningEnvelope}) {
        w.u8(e->sustainPoint);
        w.u8(e->loopStart);
        w.u8(e->loopEnd);
    }
    w.u8(envelopeType(ins.volumeEnvelope));
    w.u8(envelopeType(ins.panningEnvelope));
    w.u8(ins.vibratoType);
    w.u8(ins.vibratoSweep);
    w.u8(ins.vibratoDepth);
    w.u8(ins.vibratoRate);
    w.u16(ins.fadeout);
    w.zeros(start + kInstrumentHeaderSize - w.size());
    for (const XmSample& s : ins.samples)
        writeSampleHeader(w, s);
    for (const XmSample& s : ins.samples)
        writeSampleData(w, s);
}

} // namespace

std::vector<uint8_t> writeXm(const XmModule& m) {
    require(!m.orders.empty() && m.orders.size() <= 256, "song length must be 1..256");
    require(m.patterns.size() <= 256, "at most 256 patterns");
    require(m.instruments.size() <= 128, "at most 128 instruments");
    require(m.channels >= 1 && m.channels <= 32, "channel count must be 1..32");
    require(m.restartPosition < m.orders.size(), "restart position outside the song");
    for (uint8_t order : m.orders)
        require(order < m.patterns.size(), "order table names a missing pattern");

    ByteWriter w;
    w.text("Extended Module: ", 17);
    w.text(m.name, 20);
    w.u8(0x1A);
    w.text("quavel composer", 20);
    w.u16(0x0104);
    w.u32(kHeaderSize);
    w.u16(uint32_t(m.orders.size()));
    w.u16(m.restartPosition);
    w.u16(uint32_t(m.channels));
    w.u16(uint32_t(m.patterns.size()));
    w.u16(uint32_t(m.instruments.size()));
    w.u16(m.linearFrequencies ? 1 : 0);
    w.u16(m.tempo);
    w.u16(m.bpm);
    for (size_t i = 0; i < 256; ++i)
        w.u8(i < m.orders.size() ? m.orders[i] : 0);
    for (const XmPattern& p : m.patterns)
        writePattern(w, p, m.channels);
    for (const XmInstrument& ins : m.instruments)
        writeInstrument(w, ins);
    return w.take();
}

} // namespace composer
