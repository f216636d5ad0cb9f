// A single structured buffer filled from an element array in memory or from a numeric data
// file (numeric_data_file.h).
#pragma once

#include <vector>

#include "Fennick/buffer_runtime.h"
#include "Fennick/numeric_data_file.h"

namespace Fennick::gfx {

struct BufferDataDesc {
    BufferDataType type = Float;
    char path[4096] = {};       // zero-terminated; the numeric data file read when data is null
    const void* data = nullptr; // the element array (stays the caller's), or null
    uint32_t count = 0;         // number of elements
};

// Structured-buffer strides must be whole 32-bit words, so Byte elements are packed four to
// a word, element i in byte i % 4 (little-endian) of word i / 4, the last word zero-padded.
// A shader declares a buffer of uint and reads element i as (word >> 8 * (i % 4)) & 0xFF.
constexpr uint32_t kBytesPerPackedWord = 4;

class BufferDataRuntime : public BufferRuntime {
public:
    BufferDataDesc dataDesc;

    // `description` is a BufferDataDesc. Loads the elements (from the file when data is null),
    // then creates a single buffer of them. A file that cannot be read leaves the buffer
    // without initial data, `count` elements long; an unknown type creates nothing.
    bool init(const void* description, uint8_t doubleBuffered) override;
    bool init(const BufferDataDesc& description) {
        return init(static_cast<const void*>(&description), 0);
    }
    // Frees the elements read from a file, then releases the buffer.
    bool release() override;

private:
    std::vector<uint8_t> fileElements_;    // the elements when they were read from a file
    std::vector<uint8_t> packedByteWords_; // Byte elements padded to whole words
};

} // namespace Fennick::gfx
