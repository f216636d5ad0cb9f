#include "Fennick/param_block.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace Fennick::gfx {

namespace {

struct ParamTypeInfo {
    const char* name;
    std::uint32_t size;
};

constexpr ParamTypeInfo kParamTypes[] = {
    {"float", 4}, {"float2", 8}, {"float3", 12}, {"float4", 16}, {"int", 4},
};

const ParamTypeInfo& info(ParamType type) {
    auto index = static_cast<std::int32_t>(type);
    if (index < 0 || index >= static_cast<std::int32_t>(std::size(kParamTypes)))
        throw std::invalid_argument("unsupported parameter type " + std::to_string(index));
    return kParamTypes[index];
}

} // namespace

std::uint32_t paramTypeSize(ParamType type) {
    return info(type).size;
}
const char* paramTypeName(ParamType type) {
    return info(type).name;
}

ParamDesc makeFloatParam(const char* name, float value) {
    ParamDesc desc{};
    std::strncpy(desc.name, name, sizeof desc.name - 1);
    desc.type = ParamType::Float;
    std::memcpy(desc.value, &value, sizeof value);
    return desc;
}

void ParamBlock::clearPacking() {
    std::vector<std::uint8_t>().swap(data);
    offsets.clear();
    size = 0;
}

void ParamBlock::set(std::vector<ParamDesc> parameters) {
    clearPacking();
    list = std::move(parameters);
    offsets.reserve(list.size() + 1);
    offsets.push_back(0);
    for (const ParamDesc& p : list) {
        std::uint32_t typeSize;
        try {
            typeSize = paramTypeSize(p.type);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(std::string("parameter \"") + p.name + "\": " + e.what());
        }
        size += typeSize;
        offsets.push_back(size);
    }
    data.assign(size, 0);
    for (std::size_t i = 0; i < list.size(); ++i)
        std::memcpy(data.data() + offsets[i], list[i].value, offsets[i + 1] - offsets[i]);
}

} // namespace Fennick::gfx
