#include "xm_builder.h"

#include <algorithm>
#include <cstring>

#include "music/module_player.h"

namespace xmtest {

namespace {

void put8(std::vector<uint8_t>& out, uint8_t v) {
    out.push_back(v);
}
void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v));
    put16(out, static_cast<uint16_t>(v >> 16));
}
void putText(std::vector<uint8_t>& out, const char* text, size_t width) {
    const size_t n = std::min(std::strlen(text), width);
    out.insert(out.end(), text, text + n);
    out.insert(out.end(), width - n, ' ');
}
void set16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

std::vector<uint8_t> packCells(const XmPattern& pattern) {
    std::vector<uint8_t> out;
    for (const XmCell& c : pattern.cells) {
        const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
        if (pattern.packing == Packing::Plain) {
            out.insert(out.end(), fields, fields + 5);
            continue;
        }
        uint8_t mask = 0x80;
        for (int f = 0; f < 5; ++f) {
            if (fields[f] != 0) {
                mask |= static_cast<uint8_t>(1 << f);
            }
        }
        out.push_back(mask);
        for (int f = 0; f < 5; ++f) {
            if (fields[f] != 0) {
                out.push_back(fields[f]);
            }
        }
    }
    return out;
}

void writePattern(std::vector<uint8_t>& out, const XmPattern& pattern) {
    const std::vector<uint8_t> packed =
        pattern.packedOverride ? *pattern.packedOverride : packCells(pattern);
    const size_t start = out.size();
    put32(out, pattern.headerLength);
    put8(out, 0);
    put16(out, pattern.rows);
    put16(out, static_cast<uint16_t>(packed.size()));
    out.resize(start + pattern.headerLength, 0);
    out.insert(out.end(), packed.begin(), packed.end());
}

void writeEnvelopePoints(std::vector<uint8_t>& header, size_t at, const XmEnvelope& e) {
    for (size_t k = 0; k < e.points.size() && k < 12; ++k) {
        set16(header, at + 4 * k, e.points[k].first);
        set16(header, at + 4 * k + 2, e.points[k].second);
    }
}

uint8_t pointCount(const XmEnvelope& e) {
    return e.countOverride ? *e.countOverride : static_cast<uint8_t>(e.points.size());
}

std::vector<uint8_t> sampleData(const XmSample& s) {
    std::vector<uint8_t> out;
    int16_t previous = 0;
    for (int16_t v : s.values) {
        const auto delta =
            static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous));
        previous = v;
        if (s.sixteenBit) {
            put16(out, delta);
        } else {
            put8(out, static_cast<uint8_t>(delta));
        }
    }
    if (s.lengthBytes) {
        out.resize(*s.lengthBytes, 0);
    }
    return out;
}

void writeSampleHeader(std::vector<uint8_t>& out, const XmSample& s, uint32_t lengthBytes) {
    const uint32_t unit = s.sixteenBit ? 2 : 1;
    put32(out, lengthBytes);
    put32(out, s.loopStartBytes ? *s.loopStartBytes : s.loopStart * unit);
    put32(out, s.loopLengthBytes ? *s.loopLengthBytes : s.loopLength * unit);
    put8(out, s.volume);
    put8(out, static_cast<uint8_t>(s.finetune));
    put8(out, static_cast<uint8_t>((s.loopBits & 3) | (s.sixteenBit ? 0x10 : 0)));
    put8(out, s.panning);
    put8(out, static_cast<uint8_t>(s.relativeNote));
    put8(out, 0);
    putText(out, "", 22);
}

void writeInstrument(std::vector<uint8_t>& out, const XmInstrument& in) {
    const uint32_t occupied = in.headerSize >= 1 && in.headerSize <= 263 ? in.headerSize : 263;
    std::vector<uint8_t> header(263, 0);
    header[0] = static_cast<uint8_t>(in.headerSize);
    header[1] = static_cast<uint8_t>(in.headerSize >> 8);
    header[2] = static_cast<uint8_t>(in.headerSize >> 16);
    header[3] = static_cast<uint8_t>(in.headerSize >> 24);
    std::memcpy(&header[4], "instrument", 10);
    set16(header, 27,
          in.sampleCountOverride ? *in.sampleCountOverride
                                 : static_cast<uint16_t>(in.samples.size()));
    header[29] = 40;
    std::copy(in.keymap.begin(), in.keymap.end(), header.begin() + 33);
    writeEnvelopePoints(header, 129, in.volumeEnvelope);
    writeEnvelopePoints(header, 177, in.panningEnvelope);
    header[225] = pointCount(in.volumeEnvelope);
    header[226] = pointCount(in.panningEnvelope);
    header[227] = in.volumeEnvelope.sustain;
    header[228] = in.volumeEnvelope.loopStart;
    header[229] = in.volumeEnvelope.loopEnd;
    header[230] = in.panningEnvelope.sustain;
    header[231] = in.panningEnvelope.loopStart;
    header[232] = in.panningEnvelope.loopEnd;
    header[233] = in.volumeEnvelope.type;
    header[234] = in.panningEnvelope.type;
    header[235] = in.vibratoType;
    header[236] = in.vibratoSweep;
    header[237] = in.vibratoDepth;
    header[238] = in.vibratoRate;
    set16(header, 239, in.fadeout);
    out.insert(out.end(), header.begin(), header.begin() + occupied);
    if (in.samples.empty()) {
        return;
    }
    std::vector<std::vector<uint8_t>> data;
    for (const XmSample& s : in.samples) {
        data.push_back(sampleData(s));
        writeSampleHeader(out, s, static_cast<uint32_t>(data.back().size()));
    }
    for (const auto& d : data) {
        out.insert(out.end(), d.begin(), d.end());
    }
}

} // namespace

int XmModule::addPattern(uint16_t rows) {
    XmPattern pattern;
    pattern.rows = rows;
    pattern.cells.resize(static_cast<size_t>(rows) * channels);
    patterns.push_back(pattern);
    return static_cast<int>(patterns.size()) - 1;
}

XmCell& XmModule::cell(int pattern, int row, int channel) {
    return patterns.at(pattern).cells.at(static_cast<size_t>(row) * channels + channel);
}

std::vector<uint8_t> XmModule::build() const {
    std::vector<uint8_t> out;
    putText(out, "Extended Module: ", 17);
    putText(out, "test module", 20);
    put8(out, 0x1A);
    putText(out, "xm builder", 20);
    put16(out, 0x0104);
    put32(out, headerSize);
    put16(out, songLength ? *songLength : static_cast<uint16_t>(orders.size()));
    put16(out, restart);
    put16(out, channels);
    put16(out, static_cast<uint16_t>(patterns.size()));
    put16(out, static_cast<uint16_t>(instruments.size()));
    put16(out, linear ? 1 : 0);
    put16(out, tempo);
    put16(out, bpm);
    for (size_t i = 0; i < 256; ++i) {
        put8(out, i < orders.size() ? orders[i] : 0);
    }
    out.resize(60 + headerSize, 0);
    for (const XmPattern& p : patterns) {
        writePattern(out, p);
    }
    for (const XmInstrument& in : instruments) {
        writeInstrument(out, in);
    }
    return out;
}

XmInstrument singleSampleInstrument(XmSample sample) {
    XmInstrument instrument;
    instrument.samples.push_back(std::move(sample));
    return instrument;
}

XmSample constantSample(uint32_t length, int16_t value) {
    XmSample sample;
    sample.values.assign(length, value);
    return sample;
}

void PlayerDeleter::operator()(ModulePlayer* player) const {
    destroyModulePlayer(player);
}

PlayerPtr createPlayer(const std::vector<uint8_t>& bytes, uint32_t sampleRate) {
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, bytes.data(), bytes.size(), sampleRate) != 0) {
        return nullptr;
    }
    return PlayerPtr(player);
}

} // namespace xmtest
