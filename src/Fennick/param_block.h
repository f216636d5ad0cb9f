// Shader parameters: their descriptions and the packing of their values into one block,
// back to back in list order with no alignment or padding.
#pragma once

#include <cstdint>
#include <vector>

namespace Fennick::gfx {

enum class ParamType : std::int32_t {
    Float = 0,
    Float2 = 1,
    Float3 = 2,
    Float4 = 3,
    Int = 4,
};

// Byte size and shader type name of a type. Both throw std::invalid_argument for a type
// outside the table, so a corrupt type fails loudly instead of reading past the tables.
std::uint32_t paramTypeSize(ParamType type);
const char* paramTypeName(ParamType type);

struct ParamDesc {
    char name[256]; // zero-terminated, zero-padded
    ParamType type;
    std::uint8_t value[16]; // only the first paramTypeSize(type) bytes are used
};

// A float parameter with its default value in the first four bytes.
ParamDesc makeFloatParam(const char* name, float value);

struct ParamBlock {
    std::vector<ParamDesc> list;
    std::vector<std::uint32_t> offsets; // start of each parameter, then the total size
    std::vector<std::uint8_t> data;
    std::uint32_t size = 0;

    // Makes `parameters` the list and packs their values. The earlier packing is dropped
    // first, so calling set twice never leaves stale offsets behind.
    void set(std::vector<ParamDesc> parameters);

    // Frees the packed values and the offsets; the list stays.
    void clearPacking();
};

} // namespace Fennick::gfx
