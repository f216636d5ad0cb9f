// Shader objects created from precompiled bytecode handed unchanged to the device.
#pragma once

#include <cstdint>

#include "platform/d3d11.h"

namespace Fennick::gfx {

enum ShaderStageKind : uint32_t {
    Graphics = 0, // a vertex and a pixel shader
    Compute = 1,
};

struct ShaderDesc {
    ShaderStageKind stageKind = Graphics; // set by the pass that owns the shader
    char name[4096] = {};
    char vertexEntry[128] = "vertex_main";
    char pixelEntry[128] = "pixel_main";
    char kernelEntry[128] = "kernel_main";
    const void* reservedCode = nullptr;
    const void* vertexCode = nullptr;
    const void* pixelCode = nullptr;
    const void* computeCode = nullptr;
    uint32_t vertexCodeSize = 0;
    uint32_t pixelCodeSize = 0;
    uint32_t computeCodeSize = 0;
};

struct ShaderRuntime {
    ShaderDesc desc;
    ID3D11VertexShader* vertexShader = nullptr;
    ID3D11PixelShader* pixelShader = nullptr;
    ID3D11ComputeShader* computeShader = nullptr;

    // Creates the shaders of desc's stage kind. A stage without bytecode gets no shader (its
    // pass is then skipped); bytecode the device refuses stops the process.
    bool create();
    // Copies the description in, then creates.
    bool setDesc(const ShaderDesc& description);
};

} // namespace Fennick::gfx
