// Bounded little-endian reads from the module bytes: every byte past the end (or past a
// narrower limit, such as an instrument's header) reads as 0.
#pragma once

#include <cstddef>
#include <cstdint>

struct ModuleBytes {
    const uint8_t* data;
    uint64_t size;

    uint8_t u8(uint64_t offset, uint64_t limit = UINT64_MAX) const {
        return offset < size && offset < limit ? data[offset] : 0;
    }
    uint16_t u16(uint64_t offset, uint64_t limit = UINT64_MAX) const {
        return static_cast<uint16_t>(u8(offset, limit) | u8(offset + 1, limit) << 8);
    }
    uint32_t u32(uint64_t offset, uint64_t limit = UINT64_MAX) const {
        return static_cast<uint32_t>(u16(offset, limit)) |
               static_cast<uint32_t>(u16(offset + 2, limit)) << 16;
    }
};

// Offsets of the module header fields.
namespace xm {
constexpr uint64_t kHeaderSize = 60;
constexpr uint64_t kSongLength = 64;
constexpr uint64_t kRestartPosition = 66;
constexpr uint64_t kChannelCount = 68;
constexpr uint64_t kPatternCount = 70;
constexpr uint64_t kInstrumentCount = 72;
constexpr uint64_t kFlags = 74;
constexpr uint64_t kTempo = 76;
constexpr uint64_t kBpm = 78;
constexpr uint64_t kOrderTable = 80;

// Pattern header.
constexpr uint64_t kPatternHeaderLength = 0;
constexpr uint64_t kPatternRows = 5;
constexpr uint64_t kPatternPackedSize = 7;

// Instrument header.
constexpr uint32_t kMaxInstrumentHeader = 263;
constexpr uint64_t kSampleCount = 27;
constexpr uint64_t kKeymap = 33;
constexpr uint64_t kVolumePoints = 129;
constexpr uint64_t kPanningPoints = 177;
constexpr uint64_t kPointCounts = 225;
constexpr uint64_t kEnvelopeMarkers = 227;
constexpr uint64_t kEnvelopeTypes = 233;
constexpr uint64_t kAutovibrato = 235;
constexpr uint64_t kFadeout = 239;

// Sample header.
constexpr uint64_t kSampleHeaderSize = 40;
} // namespace xm

// Effective size of the instrument header at offset h.
inline uint64_t instrumentHeaderSize(const ModuleBytes& bytes, uint64_t h) {
    const uint32_t stated = bytes.u32(h);
    return stated >= 1 && stated <= xm::kMaxInstrumentHeader ? stated : xm::kMaxInstrumentHeader;
}

// Where a pattern's packed data starts, and where the next pattern starts.
inline uint64_t patternDataStart(const ModuleBytes& bytes, uint64_t p) {
    return p + bytes.u32(p + xm::kPatternHeaderLength);
}
inline uint64_t patternEnd(const ModuleBytes& bytes, uint64_t p) {
    return patternDataStart(bytes, p) + bytes.u16(p + xm::kPatternPackedSize);
}
