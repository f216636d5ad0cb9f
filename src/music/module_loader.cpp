// Loading of the module bytes into the player's arena: header fields, order table, unpacked
// patterns, instruments with envelopes, and samples decoded from delta form.
#include <algorithm>

#include "music/arena_layout.h"
#include "music/module_bytes.h"
#include "music/module_player.h"

namespace {

// XM's own default tempo, taken when the header gives none (a tick would never end).
constexpr uint16_t kDefaultBpm = 125;

struct ArenaCursor {
    uint8_t* base;
    uint64_t offset;

    uint8_t* take(uint64_t bytes) {
        uint8_t* at = base + offset;
        offset += bytes;
        return at;
    }
    void align(uint64_t alignment) { offset = alignUp(offset, alignment); }
};

void readHeader(ModulePlayer* player, const ModuleBytes& bytes) {
    player->songLength = bytes.u16(xm::kSongLength);
    player->restartPosition = bytes.u16(xm::kRestartPosition);
    player->channelCount = bytes.u16(xm::kChannelCount);
    player->patternCount = bytes.u16(xm::kPatternCount);
    player->instrumentCount = bytes.u16(xm::kInstrumentCount);
    player->frequencyMode = (bytes.u16(xm::kFlags) & 1) ? LinearTable : AmigaTable;
    player->tempo = bytes.u16(xm::kTempo);
    player->bpm = bytes.u16(xm::kBpm);
    if (player->bpm == 0) {
        player->bpm = kDefaultBpm;
    }
    for (int i = 0; i < 256; ++i) {
        player->orderTable[i] = bytes.u8(xm::kOrderTable + i);
    }
}

// Unpacks one pattern's cells; packed data describing more cells than the pattern holds is
// ignored past its last cell.
void unpackCells(const ModuleBytes& bytes, uint64_t packed, uint32_t packedSize, PatternCell* cells,
                 uint64_t cellCount) {
    uint32_t j = 0;
    uint64_t k = 0;
    while (j < packedSize && k < cellCount) {
        uint8_t fields[5] = {0, 0, 0, 0, 0};
        const uint8_t b = bytes.u8(packed + j);
        if (b & 0x80) {
            ++j;
            for (int f = 0; f < 5; ++f) {
                if (b & (1u << f)) {
                    fields[f] = bytes.u8(packed + j);
                    ++j;
                }
            }
        } else {
            for (int f = 0; f < 5; ++f) {
                fields[f] = bytes.u8(packed + j + f);
            }
            j += 5;
        }
        cells[k++] = PatternCell{fields[0], fields[1], fields[2], fields[3], fields[4]};
    }
}

uint64_t loadPatterns(ModulePlayer* player, const ModuleBytes& bytes, ArenaCursor* arena) {
    uint64_t p = xm::kHeaderSize + bytes.u32(xm::kHeaderSize);
    for (uint32_t i = 0; i < player->patternCount; ++i) {
        ModulePattern& pattern = player->patterns[i];
        pattern.rowCount = bytes.u16(p + xm::kPatternRows);
        const uint64_t cellCount = static_cast<uint64_t>(pattern.rowCount) * player->channelCount;
        pattern.cells =
            reinterpret_cast<PatternCell*>(arena->take(cellCount * sizeof(PatternCell)));
        const uint16_t packedSize = bytes.u16(p + xm::kPatternPackedSize);
        // A packed size of 0 leaves the (already zeroed) cells empty.
        unpackCells(bytes, patternDataStart(bytes, p), packedSize, pattern.cells, cellCount);
        p = patternEnd(bytes, p);
    }
    return p;
}

void readEnvelope(Envelope* e, const ModuleBytes& bytes, uint64_t end, uint64_t pointsAt,
                  uint8_t count, uint64_t markersAt, uint8_t type) {
    e->pointCount = count;
    for (int k = 0; k < count; ++k) {
        e->points[k].frame = bytes.u16(pointsAt + 4 * k, end);
        e->points[k].value = bytes.u16(pointsAt + 4 * k + 2, end);
    }
    e->sustainPoint = bytes.u8(markersAt, end);
    e->loopStart = bytes.u8(markersAt + 1, end);
    e->loopEnd = bytes.u8(markersAt + 2, end);
    if (count > 0) {
        const uint8_t last = static_cast<uint8_t>(count - 1);
        e->loopStart = e->loopStart < last ? e->loopStart : last;
        e->loopEnd = e->loopEnd < last ? e->loopEnd : last;
    }
    e->enabled = type & 1;
    e->sustainEnabled = (type >> 1) & 1;
    e->loopEnabled = (type >> 2) & 1;
}

Waveform autovibratoWaveform(uint8_t type) {
    static constexpr Waveform kFileOrder[3] = {Sine, Square, RampDown};
    return type < 3 ? kFileOrder[type] : static_cast<Waveform>(type);
}

void readInstrumentHeader(ModuleInstrument* instrument, const ModuleBytes& bytes, uint64_t h,
                          uint64_t headerSize) {
    const uint64_t end = h + headerSize;
    const uint64_t keys = headerSize > xm::kKeymap ? headerSize - xm::kKeymap : 0;
    for (uint64_t k = 0; k < 96 && k < keys; ++k) {
        instrument->keymap[k] = bytes.u8(h + xm::kKeymap + k, end);
    }
    auto clampedCount = [](uint8_t n) { return static_cast<uint8_t>(n < 12 ? n : 12); };
    const uint8_t volumePoints = clampedCount(bytes.u8(h + xm::kPointCounts, end));
    const uint8_t panningPoints = clampedCount(bytes.u8(h + xm::kPointCounts + 1, end));
    readEnvelope(&instrument->volumeEnvelope, bytes, end, h + xm::kVolumePoints, volumePoints,
                 h + xm::kEnvelopeMarkers, bytes.u8(h + xm::kEnvelopeTypes, end));
    readEnvelope(&instrument->panningEnvelope, bytes, end, h + xm::kPanningPoints, panningPoints,
                 h + xm::kEnvelopeMarkers + 3, bytes.u8(h + xm::kEnvelopeTypes + 1, end));
    instrument->autovibratoWaveform = autovibratoWaveform(bytes.u8(h + xm::kAutovibrato, end));
    instrument->autovibratoSweep = bytes.u8(h + xm::kAutovibrato + 1, end);
    instrument->autovibratoDepth = bytes.u8(h + xm::kAutovibrato + 2, end);
    instrument->autovibratoRate = bytes.u8(h + xm::kAutovibrato + 3, end);
    instrument->fadeout = bytes.u16(h + xm::kFadeout, end);
}

// Reads one sample header; returns the sample's data length in file bytes.
uint32_t readSampleHeader(ModuleSample* sample, const ModuleBytes& bytes, uint64_t s) {
    const uint32_t byteLength = bytes.u32(s);
    uint32_t loopStart = bytes.u32(s + 4);
    const uint32_t loopBytes = bytes.u32(s + 8);
    const uint8_t type = bytes.u8(s + 14);
    // A loop reaching past 2^32 reaches past the sample too: it ends at the sample's end.
    uint64_t loopEnd = static_cast<uint64_t>(loopStart) + loopBytes;
    loopStart = loopStart < byteLength ? loopStart : byteLength;
    loopEnd = loopEnd < byteLength ? loopEnd : byteLength;
    uint32_t loopLength = static_cast<uint32_t>(loopEnd) - loopStart;

    static constexpr LoopType kLoopTypes[4] = {NoLoop, ForwardLoop, PingPongLoop, PingPongLoop};
    sample->loopType = loopLength == 0 ? NoLoop : kLoopTypes[type & 3];
    sample->bits = (type & 0x10) ? 16 : 8;
    sample->volume = static_cast<float>(bytes.u8(s + 12)) / 64.0f;
    sample->finetune = static_cast<int8_t>(bytes.u8(s + 13));
    sample->panning = static_cast<float>(bytes.u8(s + 15)) / 255.0f;
    sample->relativeNote = static_cast<int8_t>(bytes.u8(s + 16));

    uint32_t length = byteLength;
    uint32_t end = static_cast<uint32_t>(loopEnd);
    if (sample->bits == 16) {
        loopStart >>= 1;
        end >>= 1;
        length >>= 1;
        loopLength >>= 1;
    }
    sample->length = length;
    sample->loopStart = loopStart;
    sample->loopEnd = end;
    sample->loopLength = loopLength;
    return byteLength;
}

// Delta decoding: each stored value is the running (wrapping) sum of the deltas so far. Past
// the end of the input every delta is 0, so the rest of the sample holds the last sum; it is
// filled in one go (and left alone when 0: the arena is already zeroed).
template <typename Value, typename Sum>
void decodeDeltas(Value* out, uint32_t length, const ModuleBytes& bytes, uint64_t at) {
    constexpr uint64_t width = sizeof(Value);
    const uint64_t present = at < bytes.size ? (bytes.size - at + width - 1) / width : 0;
    const uint32_t decoded = present < length ? static_cast<uint32_t>(present) : length;
    Sum sum = 0;
    for (uint32_t i = 0; i < decoded; ++i) {
        const uint64_t offset = at + width * i;
        const Sum delta = width == 1 ? bytes.u8(offset) : bytes.u16(offset);
        sum = static_cast<Sum>(sum + delta);
        out[i] = static_cast<Value>(sum);
    }
    if (sum != 0) {
        std::fill(out + decoded, out + length, static_cast<Value>(sum));
    }
}

void decodeSample(ModuleSample* sample, const ModuleBytes& bytes, uint64_t at) {
    if (sample->bits == 16) {
        decodeDeltas<int16_t, uint16_t>(static_cast<int16_t*>(sample->data), sample->length, bytes,
                                        at);
    } else {
        decodeDeltas<int8_t, uint8_t>(static_cast<int8_t*>(sample->data), sample->length, bytes,
                                      at);
    }
}

uint64_t loadInstrument(ModuleInstrument* instrument, const ModuleBytes& bytes, uint64_t h,
                        ArenaCursor* arena) {
    const uint64_t headerSize = instrumentHeaderSize(bytes, h);
    instrument->sampleCount = bytes.u16(h + xm::kSampleCount, h + headerSize);
    if (instrument->sampleCount == 0) {
        return h + headerSize;
    }
    readInstrumentHeader(instrument, bytes, h, headerSize);
    instrument->samples = reinterpret_cast<ModuleSample*>(
        arena->take(instrument->sampleCount * sizeof(ModuleSample)));
    const uint64_t headers = h + headerSize;
    uint64_t dataAt = headers + instrument->sampleCount * xm::kSampleHeaderSize;
    for (uint32_t s = 0; s < instrument->sampleCount; ++s) {
        ModuleSample* sample = &instrument->samples[s];
        const uint32_t byteLength =
            readSampleHeader(sample, bytes, headers + s * xm::kSampleHeaderSize);
        arena->align(kSampleDataAlignment);
        sample->data = arena->take(byteLength);
        decodeSample(sample, bytes, dataAt);
        dataAt += byteLength;
    }
    arena->align(kRecordAlignment);
    return dataAt;
}

} // namespace

uint8_t* loadModule(ModulePlayer* player, const void* data, size_t size, uint8_t* arena) {
    const ModuleBytes bytes{static_cast<const uint8_t*>(data), size};
    readHeader(player, bytes);

    // Offsets are kept relative to the player record, whose alignment the regions share.
    uint8_t* base = reinterpret_cast<uint8_t*>(player);
    ArenaCursor cursor{base, static_cast<uint64_t>(arena - base)};
    player->patterns =
        reinterpret_cast<ModulePattern*>(cursor.take(player->patternCount * sizeof(ModulePattern)));
    player->instruments = reinterpret_cast<ModuleInstrument*>(
        cursor.take(player->instrumentCount * sizeof(ModuleInstrument)));

    uint64_t h = loadPatterns(player, bytes, &cursor);
    cursor.align(kRecordAlignment);
    for (uint32_t i = 0; i < player->instrumentCount; ++i) {
        h = loadInstrument(&player->instruments[i], bytes, h, &cursor);
    }
    return base + cursor.offset;
}
