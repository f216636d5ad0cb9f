// Builds whose shader blocks are HLSL source (the mingw-w64 cross build, which has no fxc):
// every program is compiled once at start-up with D3DCompile from d3dcompiler_47.dll, part of
// Windows 10 and 11. The DLL is loaded by name at run time so that a system without it gets a
// clear message rather than a loader error before the program starts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/shader_code.h"
#include "platform/win32.h"

#include <d3dcompiler.h>

namespace {

std::vector<ShaderSource>& registry() {
    static std::vector<ShaderSource> sources;
    return sources;
}

// Bytecode by source block. The blobs live until the process ends, as the engine keeps the
// pointers it was given.
std::map<const void*, ID3DBlob*>& compiled() {
    static std::map<const void*, ID3DBlob*> blobs;
    return blobs;
}

// Seconds each block took to compile, for the self-check's table.
std::map<const void*, double>& compileSeconds() {
    static std::map<const void*, double> seconds;
    return seconds;
}

std::string blobText(ID3DBlob* blob) {
    if (!blob)
        return "";
    std::string text(static_cast<const char*>(blob->GetBufferPointer()), blob->GetBufferSize());
    while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r' ||
                             text.back() == ' '))
        text.pop_back();
    return text;
}

std::string hresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

} // namespace

bool registerShaderSource(const ShaderSource& source) {
    registry().push_back(source);
    return true;
}

bool prepareShaderCode(std::string& error) {
    std::vector<ShaderSource> sources = registry();
    if (sources.empty())
        return true;
    HMODULE library = LoadLibraryW(L"d3dcompiler_47.dll");
    if (!library) {
        error = "d3dcompiler_47.dll cannot be loaded (Windows error " +
                std::to_string(GetLastError()) +
                "); it is part of Windows 10 and 11 and compiles the show's shaders";
        return false;
    }
    auto compile = reinterpret_cast<pD3DCompile>(
        reinterpret_cast<void*>(GetProcAddress(library, "D3DCompile")));
    if (!compile) {
        error = "d3dcompiler_47.dll has no D3DCompile";
        return false;
    }
    // Registration follows the link order; compiling in name order makes the first failure the
    // same on every build. Every program is tried, so the message can list all that fail.
    std::sort(sources.begin(), sources.end(), [](const ShaderSource& a, const ShaderSource& b) {
        return std::string(a.program) < std::string(b.program);
    });
    std::string failed;
    int failures = 0;
    for (const ShaderSource& s : sources) {
        if (compiled().count(s.text))
            continue;
        ID3DBlob* code = nullptr;
        ID3DBlob* messages = nullptr;
        const std::string fileName = std::string(s.program) + ".hlsl";
        const auto started = std::chrono::steady_clock::now();
        const HRESULT hr = compile(s.text, *s.size, fileName.c_str(), nullptr, nullptr, s.entry,
                                   s.target, 0, 0, &code, &messages);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        const std::string message = blobText(messages);
        if (messages)
            messages->Release();
        if (SUCCEEDED(hr) && code) {
            compiled()[s.text] = code;
            compileSeconds()[s.text] = took.count();
            continue;
        }
        if (code)
            code->Release();
        if (failures++ == 0)
            error = std::string("shader program ") + s.program + " (" + s.target +
                    ") cannot be compiled by d3dcompiler_47.dll (" + hresultText(hr) + ")" +
                    (message.empty() ? "" : ":\n" + message);
        failed += (failed.empty() ? "" : ", ") + std::string(s.program);
    }
    if (failures > 0)
        error += "\n(" + std::to_string(failures) + " of " + std::to_string(sources.size()) +
                 " programs cannot be compiled: " + failed + ")";
    return failures == 0;
}

ShaderCode shaderBytecode(const void* block, std::uint32_t) {
    auto found = compiled().find(block);
    if (found == compiled().end())
        return {nullptr, 0};
    ID3DBlob* code = found->second;
    return {code->GetBufferPointer(), static_cast<std::uint32_t>(code->GetBufferSize())};
}

double shaderCompileSeconds(const void* block) {
    auto found = compileSeconds().find(block);
    return found == compileSeconds().end() ? -1.0 : found->second;
}
