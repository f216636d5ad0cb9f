// HLSL (shader model 5.0) compiled in-process into what this build's device takes: on Windows
// D3DCompile's bytecode (d3dcompiler_47.dll, which also compiles the linked programs at
// start-up), elsewhere the Linux Direct3D layer's shader block (glslang and SPIRV-Cross, as
// the build's shaderpack step compiles). A program compiled here from the files the build
// read gives the program the show starts with.
//
//     shaderpack::HlslSource source{"ps_copy", "/src/demo/shaders/ps_copy.hlsl",
//                                   quavel::d3d11::ShaderStage::Pixel, "pixel_main",
//                                   {"/src/demo/shaders"}};
//     shaderpack::CompileResult result = shaderpack::compileHlsl(source);
//     if (!result.ok()) puts(result.error->text().c_str()); // "ps_copy: FILE:LINE: message"
//     else use(result.block);            // bytes for CreatePixelShader
//
// `#include "name"` is looked up beside the including file first, then in includeDirs.
// Calls may run on several threads at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/shader_stage.h"

namespace shaderpack {

struct HlslSource {
    std::string program; // the program's name in messages (its file stem)
    std::string path;    // the main file; included files are looked up beside it first
    quavel::d3d11::ShaderStage stage;
    std::string entry;                    // vertex_main, pixel_main, kernel_main
    std::vector<std::string> includeDirs; // searched after the including file's folder
    // The main file's text when the caller has it already; otherwise it is read from path.
    std::optional<std::string> text;
};

// Where a compilation failed. line is 0 when the compiler named no line.
struct CompileError {
    std::string program;
    std::string file;
    unsigned line = 0;
    std::string message;
    // "program: file:line: message"
    std::string text() const {
        return program + ": " + file + (line > 0 ? ":" + std::to_string(line) : "") + ": " +
               message;
    }
};

struct CompileResult {
    std::vector<uint8_t> block;        // what the device takes, empty on failure
    std::vector<std::string> included; // every file read: the main file, then its includes
    std::optional<CompileError> error;
    bool ok() const { return !error; }
};

CompileResult compileHlsl(const HlslSource& source);

// For the compilers: a file's bytes (false when it cannot be read), and the main file's text
// (source.text, or the file at source.path; else the error to report).
bool readHlslFile(const std::string& path, std::string& text);
std::optional<CompileError> readMainText(const HlslSource& source, std::string& text);

// The first error of a compiler's log that names a place, else its first error line credited
// to the main file; the file as the log names it.
enum class CompilerLog {
    Glslang,    // "ERROR: FILE:LINE: message"
    D3DCompile, // "FILE(LINE,COL): error X3004: message"; Wine's "FILE:LINE:COL: E5005: message"
};
CompileError firstCompileError(CompilerLog form, const HlslSource& source, const std::string& log);

} // namespace shaderpack
