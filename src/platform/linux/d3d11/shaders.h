// Shader objects made from our compiled-shader blocks, and the OpenGL programs linked from
// them with the table of what each Direct3D register binds to.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/linux/d3d11/com_object.h"
#include "platform/linux/d3d11/shader_block.h"

namespace quavel::d3d11 {

// One resource of a linked program: the Direct3D register it reads and the OpenGL texture
// unit, image unit or buffer binding point it was given.
struct ProgramSlot {
    BindingKind kind;
    ShaderStage stage;
    uint32_t registerIndex;
    uint32_t samplerRegister;
    GLuint unit;
};

struct LinkedProgram {
    GLuint program = 0;
    std::vector<ProgramSlot> slots;
};

struct GlShader {
    virtual ~GlShader() = default;
    ShaderBlock block;
    GLuint shader = 0; // compiled with the image formats the block declares
    uint64_t serial = 0;
};

const GlShader* glShader(ID3D11VertexShader* shader);
const GlShader* glShader(ID3D11PixelShader* shader);
const GlShader* glShader(ID3D11ComputeShader* shader);

// The compute program for the given format qualifier of each storage image (in binding
// order), linked on first use; program 0 when it does not compile or link.
const LinkedProgram& computeProgram(ID3D11ComputeShader* shader,
                                    const std::vector<std::string>& imageFormats);

// Links compiled stages into one program and assigns units and binding points in binding
// order; program 0 when linking fails or the device's units do not suffice.
LinkedProgram linkProgram(const std::vector<const GlShader*>& stages);
void deleteProgram(LinkedProgram& program);

// E_INVALIDARG for bytecode that is not a block of the expected stage or does not compile.
HRESULT createVertexShader(Device& device, const void* bytecode, SIZE_T length,
                           ID3D11VertexShader** out);
HRESULT createPixelShader(Device& device, const void* bytecode, SIZE_T length,
                          ID3D11PixelShader** out);
HRESULT createComputeShader(Device& device, const void* bytecode, SIZE_T length,
                            ID3D11ComputeShader** out);

} // namespace quavel::d3d11
