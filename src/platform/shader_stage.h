// The three shader stages the show's programs are written for, numbered as the Linux
// Direct3D layer's shader block stores them, and named as the build lists them (vs, ps, cs).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quavel::d3d11 {

enum class ShaderStage : uint32_t { Vertex = 0, Pixel = 1, Compute = 2 };

inline std::optional<ShaderStage> shaderStageNamed(std::string_view name) {
    if (name == "vs")
        return ShaderStage::Vertex;
    if (name == "ps")
        return ShaderStage::Pixel;
    if (name == "cs")
        return ShaderStage::Compute;
    return std::nullopt;
}

} // namespace quavel::d3d11
