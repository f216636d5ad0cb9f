// How long a module file says it is: the end of its last instrument's sample data, walked the
// way the loader walks it. A truncated file plays (missing bytes read as zero), but the user
// should hear that it is incomplete.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes the header, patterns and instruments occupy (0 if the header check fails).
uint64_t moduleStatedSize(const void* data, size_t size);

// Bytes the file lacks at its end (0 for a complete file).
inline uint64_t moduleMissingBytes(const void* data, size_t size) {
    const uint64_t stated = moduleStatedSize(data, size);
    return stated > size ? stated - size : 0;
}
