#include "Fennick/numeric_data_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace Fennick::gfx {

namespace {

bool isSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Calls `visit` with each number of the text as a zero-terminated string.
template <typename Visit> void forEachNumber(std::string_view text, Visit visit) {
    std::string number;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !isSeparator(text[i]))
            ++i;
        if (i > start) {
            number.assign(text.data() + start, i - start);
            visit(number.c_str());
        }
    }
}

// atoi has undefined behaviour out of range; strtoll wraps the same text predictably into the
// stored width instead.
int64_t toInteger(const char* number) {
    return std::strtoll(number, nullptr, 10);
}

void storeElement(BufferDataType type, const char* number, uint8_t* element) {
    switch (type) {
    case Int: {
        const int32_t value = int32_t(uint32_t(toInteger(number)));
        std::memcpy(element, &value, sizeof value);
        break;
    }
    case Float: {
        const float value = float(std::strtod(number, nullptr));
        std::memcpy(element, &value, sizeof value);
        break;
    }
    case Byte:
        *element = uint8_t(toInteger(number));
        break;
    }
}

} // namespace

uint32_t bufferDataElementSize(BufferDataType type) {
    switch (type) {
    case Int:
    case Float:
        return 4;
    case Byte:
        return 1;
    }
    return 0;
}

uint32_t countNumbers(std::string_view text) {
    uint32_t count = 0;
    forEachNumber(text, [&](const char*) { ++count; });
    return count;
}

std::vector<uint8_t> convertNumbers(std::string_view text, BufferDataType type) {
    const uint32_t elementSize = bufferDataElementSize(type);
    if (elementSize == 0)
        return {};
    std::vector<uint8_t> bytes(size_t(countNumbers(text)) * elementSize);
    size_t index = 0;
    forEachNumber(text, [&](const char* number) {
        storeElement(type, number, bytes.data() + index * elementSize);
        ++index;
    });
    return bytes;
}

NumericData loadNumericDataFile(const char* path, BufferDataType type) {
    NumericData result;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return result;
    std::string text;
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return result;
    result.opened = true;
    result.bytes = convertNumbers(text, type);
    const uint32_t elementSize = bufferDataElementSize(type);
    result.count = elementSize == 0 ? 0 : uint32_t(result.bytes.size() / elementSize);
    return result;
}

} // namespace Fennick::gfx
