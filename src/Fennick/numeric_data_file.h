// Numeric data files: decimal numbers in C notation, separated by commas and white space,
// converted to the elements of a structured buffer.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace Fennick::gfx {

enum BufferDataType : int32_t { Int = 0, Float = 1, Byte = 2 };

// Bytes one element of the type occupies in memory; 0 for an unknown type.
uint32_t bufferDataElementSize(BufferDataType type);

// A number is a maximal run of characters other than commas, spaces, tabs, line feeds and
// carriage returns, so a file written one number per line (with either line ending) reads
// as those numbers.
uint32_t countNumbers(std::string_view text);

// Converts every number of `text` in order: Int as a signed 32-bit integer, Float rounded to
// a 32-bit float, Byte keeping the low 8 bits. An unknown type converts nothing.
std::vector<uint8_t> convertNumbers(std::string_view text, BufferDataType type);

struct NumericData {
    bool opened = false;        // false: the file could not be opened or read
    uint32_t count = 0;         // number of elements
    std::vector<uint8_t> bytes; // count * element size bytes
};

NumericData loadNumericDataFile(const char* path, BufferDataType type);

} // namespace Fennick::gfx
