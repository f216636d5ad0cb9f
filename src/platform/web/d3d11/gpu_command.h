// The record of one draw or dispatch as the JavaScript half reads it from the module's memory
// (web/gpu/gpu_imports.js decodes it by these offsets: keep the two in step). Every field is
// 32 bits; handles are 0 where nothing is bound.
#pragma once

#include <cstdint>

namespace quavel::web {

// A stage's registers: what each t, s, b and u register holds. A t or u register names the
// resource behind its view (textures are seen whole, buffers from their start).
struct StageRegisters {
    uint32_t t[128];
    uint32_t s[16];
    uint32_t b[14];
    uint32_t u[8];
};
static_assert(sizeof(StageRegisters) == 166 * 4);

struct DrawCommand {
    uint32_t vertexProgram;   // 0
    uint32_t pixelProgram;    // 4
    uint32_t blendState;      // 8: 0 for the default state
    uint32_t rasterizerState; // 12: 0 for the default state
    uint32_t topology;        // 16: D3D11_PRIMITIVE_TOPOLOGY
    uint32_t targetCount;     // 20
    uint32_t targets[8];      // 24: textures
    uint32_t targetLevels[8]; // 56
    uint32_t depthTarget;     // 88: texture
    uint32_t depthFormat;     // 92: unused, 0
    float viewport[6];        // 96: x, y, width, height, min depth, max depth
    float blendFactor[4];     // 120
    uint32_t vertexCount;     // 136
    uint32_t instanceCount;   // 140
    uint32_t startVertex;     // 144
    uint32_t startInstance;   // 148
    StageRegisters vertex;    // 152
    StageRegisters pixel;     // 816
};
static_assert(sizeof(DrawCommand) == 152 + 2 * 664);

struct DispatchCommand {
    uint32_t program;       // 0
    uint32_t x, y, z;       // 4
    StageRegisters compute; // 16
};
static_assert(sizeof(DispatchCommand) == 16 + 664);

} // namespace quavel::web
