// The built-in block at the start of ContextBuffer (register b8 of every shader) and the one
// process-wide record holding it with the constant buffer, the declaration text, the device
// and the immediate context through which the whole engine reaches Direct3D.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Fennick/buffer_runtime.h"
#include "Fennick/param_block.h"
#include "maths/camera_math.h"
#include "platform/d3d11.h"

// Byte for byte the layout shaders see; matrices go to the GPU exactly as stored.
struct ContextData {
    float time;
    uint32_t frame;
    float elapsedTime;
    float aspectRatio;
    float resolution[2];
    float invResolution[2];
    Mat4 modelView;
    Mat4 projection;
    Mat4 modelViewProjection;
    Mat4 invModelView;
    Mat4 invProjection;
    Mat4 invModelViewProjection;
    Mat4 lastModelView;
    Mat4 lastProjection;
    Mat4 lastModelViewProjection;
};

// The parameters follow the built-in block from this offset, packed back to back.
constexpr uint32_t kContextDataSize = 608;

static_assert(sizeof(Mat4) == 64);
static_assert(offsetof(ContextData, time) == 0);
static_assert(offsetof(ContextData, frame) == 4);
static_assert(offsetof(ContextData, elapsedTime) == 8);
static_assert(offsetof(ContextData, aspectRatio) == 12);
static_assert(offsetof(ContextData, resolution) == 16);
static_assert(offsetof(ContextData, invResolution) == 24);
static_assert(offsetof(ContextData, modelView) == 32);
static_assert(offsetof(ContextData, projection) == 96);
static_assert(offsetof(ContextData, modelViewProjection) == 160);
static_assert(offsetof(ContextData, invModelView) == 224);
static_assert(offsetof(ContextData, invProjection) == 288);
static_assert(offsetof(ContextData, invModelViewProjection) == 352);
static_assert(offsetof(ContextData, lastModelView) == 416);
static_assert(offsetof(ContextData, lastProjection) == 480);
static_assert(offsetof(ContextData, lastModelViewProjection) == 544);
static_assert(sizeof(ContextData) == kContextDataSize);

// Slots s0 to s5 of the vertex, pixel and compute stages, bound once for the whole run.
constexpr uint32_t kSharedSamplerCount = 6;

struct FrameContext {
    Fennick::gfx::BufferRuntime buffer; // the GPU buffer behind ContextBuffer
    // What the buffer is (re)created from; the frame execution re-creates the buffer whenever
    // the stride recorded here differs from the size of the block it uploads.
    Fennick::gfx::BufferDesc bufferDesc;
    ContextData data = {};
    std::string declaration;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    ID3D11SamplerState* samplers[kSharedSamplerCount] = {};
};

// The one record of the process; it exists before anything else runs.
FrameContext& frameContext();

struct ContextInit {
    ContextData data;
    std::string declaration;
    ID3D11Device* device;
    ID3D11DeviceContext* context;
};

// Stores the block, declaration, device and context, then creates and binds the six samplers.
void initFrameContext(ContextInit init);

// Takes time, frame, elapsedTime, resolution, modelView and projection from `in` and derives
// the rest; the previous matrices become the last-frame ones. No device call.
void updateFrameContext(ContextData in);

const ContextData& frameContextData();

// The shader-language declaration of ContextBuffer for these parameters. Parameters are
// packed without padding, which only matches the shader compiler's layout while no parameter
// crosses a 16-byte boundary; a list that would make one cross is rejected: the process stops
// with a message naming the parameter.
std::string buildContextDeclaration(const Fennick::gfx::ParamBlock& params);

// The first parameter that would cross a 16-byte boundary of ContextBuffer, or -1.
int firstStraddlingParameter(const Fennick::gfx::ParamBlock& params);
