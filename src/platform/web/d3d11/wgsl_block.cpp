#include "platform/web/d3d11/wgsl_block.h"

namespace quavel::web {
namespace {

constexpr size_t headerSize = 20;
constexpr size_t recordSize = 8;

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

uint32_t getU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

const RegisterRange& rangeOf(RegisterClass kind) {
    for (const RegisterRange& range : registerRanges) {
        if (range.kind == kind) {
            return range;
        }
    }
    return registerRanges[0];
}

bool validRecord(ShaderStage stage, const WgslBinding& binding) {
    if (binding.kind < WgslBindingKind::Texture ||
        binding.kind > WgslBindingKind::RWStructuredBuffer) {
        return false;
    }
    const RegisterRange& range = rangeOf(registerClassOf(binding.kind));
    return binding.group == groupOf(stage) && binding.registerIndex < range.count &&
           binding.binding == range.base + binding.registerIndex;
}

} // namespace

RegisterClass registerClassOf(WgslBindingKind kind) {
    switch (kind) {
    case WgslBindingKind::Sampler:
        return RegisterClass::Sampler;
    case WgslBindingKind::ConstantBuffer:
        return RegisterClass::ConstantBuffer;
    case WgslBindingKind::RWStructuredBuffer:
        return RegisterClass::Uav;
    default:
        return RegisterClass::Texture;
    }
}

uint32_t bindingOf(RegisterClass kind, uint32_t registerIndex) {
    return rangeOf(kind).base + registerIndex;
}

uint32_t groupOf(ShaderStage stage) {
    return stage == ShaderStage::Pixel ? 1 : 0;
}

std::optional<Register> registerOfBinding(uint32_t binding) {
    for (const RegisterRange& range : registerRanges) {
        if (binding >= range.base && binding < range.base + range.count) {
            return Register{range.kind, binding - range.base};
        }
    }
    return std::nullopt;
}

std::vector<uint8_t> encodeWgslBlock(const WgslBlock& block) {
    std::vector<uint8_t> out;
    putU32(out, wgslBlockMagic);
    putU32(out, wgslBlockVersion);
    putU32(out, static_cast<uint32_t>(block.stage));
    putU32(out, static_cast<uint32_t>(block.bindings.size()));
    putU32(out, static_cast<uint32_t>(block.wgsl.size()));
    for (const WgslBinding& binding : block.bindings) {
        out.push_back(static_cast<uint8_t>(binding.kind));
        out.push_back(static_cast<uint8_t>(binding.group));
        out.push_back(static_cast<uint8_t>(binding.binding));
        out.push_back(static_cast<uint8_t>(binding.binding >> 8));
        putU32(out, binding.registerIndex);
    }
    out.insert(out.end(), block.wgsl.begin(), block.wgsl.end());
    return out;
}

bool decodeWgslBlock(const void* data, size_t size, WgslBlock& block) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (size < headerSize || getU32(bytes) != wgslBlockMagic ||
        getU32(bytes + 4) != wgslBlockVersion || getU32(bytes + 8) > 2) {
        return false;
    }
    const uint64_t count = getU32(bytes + 12);
    const uint64_t length = getU32(bytes + 16);
    if (uint64_t(size) != headerSize + count * recordSize + length) {
        return false;
    }
    WgslBlock decoded{static_cast<ShaderStage>(getU32(bytes + 8)), {}, ""};
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* record = bytes + headerSize + i * recordSize;
        WgslBinding binding{static_cast<WgslBindingKind>(record[0]), record[1],
                            uint32_t(record[2]) | uint32_t(record[3]) << 8, getU32(record + 4)};
        if (!validRecord(decoded.stage, binding)) {
            return false;
        }
        decoded.bindings.push_back(binding);
    }
    decoded.wgsl.assign(reinterpret_cast<const char*>(bytes) + headerSize + count * recordSize,
                        length);
    block = std::move(decoded);
    return true;
}

} // namespace quavel::web
