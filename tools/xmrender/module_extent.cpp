#include "module_extent.h"

#include "music/module_bytes.h"
#include "music/module_player.h"

uint64_t moduleStatedSize(const void* data, size_t size) {
    if (checkModuleHeader(data, size) != kHeaderValid) {
        return 0;
    }
    const ModuleBytes bytes{static_cast<const uint8_t*>(data), size};
    uint64_t at = xm::kHeaderSize + bytes.u32(xm::kHeaderSize);
    const uint16_t patterns = bytes.u16(xm::kPatternCount);
    for (uint32_t i = 0; i < patterns; ++i) {
        at = patternEnd(bytes, at);
    }
    const uint16_t instruments = bytes.u16(xm::kInstrumentCount);
    for (uint32_t i = 0; i < instruments; ++i) {
        const uint64_t headerSize = instrumentHeaderSize(bytes, at);
        const uint16_t samples = bytes.u16(at + xm::kSampleCount, at + headerSize);
        at += headerSize;
        uint64_t sampleData = 0;
        for (uint32_t s = 0; s < samples; ++s) {
            sampleData += bytes.u32(at + s * xm::kSampleHeaderSize);
        }
        at += samples * xm::kSampleHeaderSize + sampleData;
    }
    return at;
}
