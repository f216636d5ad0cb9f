// Alignment of the regions of the player's single allocation. The memory-size walk and the
// loader both place regions with these rules, so the walk never under-counts.
#pragma once

#include <cstdint>

constexpr uint64_t kRecordAlignment = 8;
constexpr uint64_t kSampleDataAlignment = 2;

constexpr uint64_t alignUp(uint64_t offset, uint64_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}
