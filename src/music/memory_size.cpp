// The first walk over the module: how many bytes the player's single allocation needs. It
// visits exactly the offsets that the loader visits and places regions by the same rules.
#include "music/arena_layout.h"
#include "music/module_bytes.h"
#include "music/module_player.h"

namespace {

uint64_t cellBytes(const ModuleBytes& bytes, uint64_t* offset, uint16_t patternCount,
                   uint16_t channelCount) {
    uint64_t total = 0;
    uint64_t p = *offset;
    for (uint32_t i = 0; i < patternCount; ++i) {
        total += static_cast<uint64_t>(bytes.u16(p + xm::kPatternRows)) * channelCount *
                 sizeof(PatternCell);
        p = patternEnd(bytes, p);
    }
    *offset = p;
    return total;
}

// Arena bytes of every instrument's sample records and data, starting at arena offset `at`.
uint64_t instrumentBytes(const ModuleBytes& bytes, uint64_t h, uint16_t instrumentCount,
                         uint64_t at) {
    for (uint32_t i = 0; i < instrumentCount; ++i) {
        const uint64_t headerSize = instrumentHeaderSize(bytes, h);
        const uint16_t sampleCount = bytes.u16(h + xm::kSampleCount, h + headerSize);
        if (sampleCount == 0) {
            h += headerSize;
            continue;
        }
        at += static_cast<uint64_t>(sampleCount) * sizeof(ModuleSample);
        const uint64_t headers = h + headerSize;
        uint64_t dataBytes = 0;
        for (uint32_t s = 0; s < sampleCount; ++s) {
            const uint32_t length = bytes.u32(headers + s * xm::kSampleHeaderSize);
            at = alignUp(at, kSampleDataAlignment) + length;
            dataBytes += length;
        }
        at = alignUp(at, kRecordAlignment);
        h = headers + sampleCount * xm::kSampleHeaderSize + dataBytes;
    }
    return at;
}

} // namespace

uint64_t playerMemorySize(const void* data, size_t size) {
    if (checkModuleHeader(data, size) != kHeaderValid) {
        return 0;
    }
    const ModuleBytes bytes{static_cast<const uint8_t*>(data), size};
    const uint16_t songLength = bytes.u16(xm::kSongLength);
    const uint16_t channelCount = bytes.u16(xm::kChannelCount);
    const uint16_t patternCount = bytes.u16(xm::kPatternCount);
    const uint16_t instrumentCount = bytes.u16(xm::kInstrumentCount);

    uint64_t at = sizeof(ModulePlayer) + patternCount * sizeof(ModulePattern) +
                  instrumentCount * sizeof(ModuleInstrument);
    uint64_t offset = xm::kHeaderSize + bytes.u32(xm::kHeaderSize);
    at = alignUp(at + cellBytes(bytes, &offset, patternCount, channelCount), kRecordAlignment);
    at = instrumentBytes(bytes, offset, instrumentCount, at);
    at += channelCount * sizeof(PlayerChannel);
    const uint64_t orders = songLength > 0 ? songLength : 1;
    return at + orders * 256;
}
