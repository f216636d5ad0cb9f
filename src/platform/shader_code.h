// Shader bytecode of the programs linked into the executable.
//
//     std::string error;
//     if (!prepareShaderCode(error)) { /* report error, stop */ }   // once, at start-up
//     ShaderCode vs = shaderBytecode(vsFullscreen, vsFullscreen_size);  // what the device takes
//
// Where the build could compile the programs (fxc with the Windows SDK; glslang and
// spirv-cross elsewhere), a linked block already is the bytecode: prepareShaderCode does
// nothing and shaderBytecode hands the block back. Where it could not (the mingw-w64 cross
// build has no fxc), a block is the program's HLSL source with its includes expanded; each
// such program registers itself, prepareShaderCode compiles every registered program once
// with D3DCompile from d3dcompiler_47.dll, and shaderBytecode gives the compiled bytecode for
// the block. Either way the engine only ever receives bytecode.
#pragma once

#include <cstdint>
#include <string>

struct ShaderCode {
    const void* code;
    std::uint32_t size;
};

// One program linked as HLSL source.
struct ShaderSource {
    const char* program; // file stem, e.g. "ps_copy": named in error messages
    const char* target;  // vs_5_0, ps_5_0 or cs_5_0
    const char* entry;   // vertex_main, pixel_main or kernel_main
    const unsigned char* text;
    const unsigned int* size;
};

// Called by the generated source blocks while the program starts (static initialisation).
bool registerShaderSource(const ShaderSource& source);

// Makes bytecode for every block that needs it. On failure returns false with a one-line
// reason naming the program and carrying the compiler's message.
bool prepareShaderCode(std::string& error);

// The bytecode for a linked block; {nullptr, 0} for a source block that was not compiled.
ShaderCode shaderBytecode(const void* block, std::uint32_t size);

// How long compiling a source block took in prepareShaderCode, in seconds; negative for a
// block that needed no compiling (bytecode already) or did not compile.
double shaderCompileSeconds(const void* block);
