#include "platform/linux/d3d11/shader_block.h"

#include <cstring>
#include <utility>

namespace quavel::d3d11 {
namespace {

constexpr size_t headerSize = 20;
constexpr size_t recordHeadSize = 16;

void putU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    putU16(out, value & 0xffffu);
    putU16(out, value >> 16);
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool u8(uint32_t& value) { return read(1, value); }
    bool u16(uint32_t& value) { return read(2, value); }
    bool u32(uint32_t& value) { return read(4, value); }
    bool text(size_t length, std::string& value) {
        if (size_ - position_ < length) {
            return false;
        }
        value.assign(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length;
        return true;
    }
    bool atEnd() const { return position_ == size_; }

private:
    bool read(size_t bytes, uint32_t& value) {
        if (size_ - position_ < bytes) {
            return false;
        }
        value = 0;
        for (size_t i = 0; i < bytes; ++i) {
            value |= static_cast<uint32_t>(data_[position_ + i]) << (8 * i);
        }
        position_ += bytes;
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

bool isIdentifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) {
        return false;
    }
    for (char c : name) {
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '_') {
            return false;
        }
    }
    return true;
}

bool validBinding(const ShaderBinding& binding) {
    if (!isIdentifier(binding.name)) {
        return false;
    }
    switch (binding.kind) {
    case BindingKind::SampledTexture:
        return binding.registerIndex < textureRegisterCount &&
               (binding.samplerRegister == noSampler ||
                binding.samplerRegister < samplerRegisterCount) &&
               binding.format.empty();
    case BindingKind::ConstantBuffer:
        return binding.registerIndex < constantBufferRegisterCount && binding.format.empty();
    case BindingKind::StructuredBuffer:
        return binding.registerIndex < textureRegisterCount && binding.format.empty();
    case BindingKind::RWStructuredBuffer:
        return binding.registerIndex < uavRegisterCount && binding.format.empty();
    case BindingKind::RWTexture:
        return binding.registerIndex < uavRegisterCount && isIdentifier(binding.format);
    }
    return false;
}

} // namespace

std::string imageFormatMacro(size_t bindingIndex) {
    return "QUAVEL_IMAGE_FORMAT_" + std::to_string(bindingIndex);
}

std::vector<uint8_t> encodeShaderBlock(const ShaderBlock& block) {
    std::vector<uint8_t> out;
    putU32(out, shaderBlockMagic);
    putU32(out, shaderBlockVersion);
    putU32(out, static_cast<uint32_t>(block.stage));
    putU32(out, static_cast<uint32_t>(block.bindings.size()));
    putU32(out, static_cast<uint32_t>(block.glsl.size()));
    for (const ShaderBinding& binding : block.bindings) {
        out.push_back(static_cast<uint8_t>(binding.kind));
        out.push_back(0);
        putU16(out, static_cast<uint32_t>(binding.name.size()));
        putU32(out, binding.registerIndex);
        putU32(out, binding.samplerRegister);
        putU16(out, static_cast<uint32_t>(binding.format.size()));
        putU16(out, 0);
        out.insert(out.end(), binding.name.begin(), binding.name.end());
        out.insert(out.end(), binding.format.begin(), binding.format.end());
    }
    out.insert(out.end(), block.glsl.begin(), block.glsl.end());
    return out;
}

bool decodeShaderBlock(const void* data, size_t size, ShaderBlock& block) {
    if (data == nullptr || size < headerSize) {
        return false;
    }
    Reader reader(static_cast<const uint8_t*>(data), size);
    uint32_t magic = 0, version = 0, stage = 0, count = 0, glslLength = 0;
    reader.u32(magic);
    reader.u32(version);
    reader.u32(stage);
    reader.u32(count);
    reader.u32(glslLength);
    if (magic != shaderBlockMagic || version != shaderBlockVersion ||
        stage > static_cast<uint32_t>(ShaderStage::Compute)) {
        return false;
    }
    // Every record takes at least its head, which bounds the count before allocating.
    if (count > (size - headerSize) / recordHeadSize) {
        return false;
    }
    ShaderBlock decoded;
    decoded.stage = static_cast<ShaderStage>(stage);
    decoded.bindings.resize(count);
    for (ShaderBinding& binding : decoded.bindings) {
        uint32_t kind = 0, pad = 0, nameLength = 0, formatLength = 0;
        bool complete = reader.u8(kind) && reader.u8(pad) && reader.u16(nameLength) &&
                        reader.u32(binding.registerIndex) && reader.u32(binding.samplerRegister) &&
                        reader.u16(formatLength) && reader.u16(pad) &&
                        reader.text(nameLength, binding.name) &&
                        reader.text(formatLength, binding.format);
        if (!complete) {
            return false;
        }
        binding.kind = static_cast<BindingKind>(kind);
        if (!validBinding(binding)) {
            return false;
        }
    }
    if (!reader.text(glslLength, decoded.glsl) || !reader.atEnd() ||
        decoded.glsl.compare(0, 9, "#version ") != 0) {
        return false;
    }
    block = std::move(decoded);
    return true;
}

} // namespace quavel::d3d11
