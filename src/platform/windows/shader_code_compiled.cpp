// Builds whose shader blocks are HLSL source (the mingw-w64 cross build, which has no fxc):
// every program is compiled once at start-up with D3DCompile from d3dcompiler_47.dll, part of
// Windows 10 and 11. The DLL is loaded by name at run time so that a system without it gets a
// clear message rather than a loader error before the program starts.
//
// The programs are compiled in parallel, on as many threads as the machine runs at once:
// D3DCompile keeps no shared state between calls and may be called from several threads, and
// the slowest programs (long loops) then no longer add up.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <system_error>
#include <thread>
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

struct Compilation {
    HRESULT result = E_FAIL;
    ID3DBlob* code = nullptr; // null when the program did not compile
    std::string message;      // the compiler's errors and warnings
    double seconds = 0.0;     // how long this program took on its thread
};

// One program; runs on any thread.
Compilation compileOne(pD3DCompile compile, const ShaderSource& s) {
    Compilation r;
    ID3DBlob* messages = nullptr;
    const std::string fileName = std::string(s.program) + ".hlsl";
    const auto started = std::chrono::steady_clock::now();
    r.result = compile(s.text, *s.size, fileName.c_str(), nullptr, nullptr, s.entry, s.target, 0, 0,
                       &r.code, &messages);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    r.message = blobText(messages);
    if (messages)
        messages->Release();
    if (FAILED(r.result) && r.code) {
        r.code->Release();
        r.code = nullptr;
    }
    if (SUCCEEDED(r.result) && !r.code)
        r.result = E_FAIL;
    return r;
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
    // Registration follows the link order; reporting in name order makes the first failure the
    // same on every build. Every program is tried, so the message can list all that fail.
    std::sort(sources.begin(), sources.end(), [](const ShaderSource& a, const ShaderSource& b) {
        return std::string(a.program) < std::string(b.program);
    });
    sources.erase(std::remove_if(sources.begin(), sources.end(),
                                 [](const ShaderSource& s) { return compiled().count(s.text); }),
                  sources.end());
    std::vector<Compilation> results(sources.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < sources.size();)
            results[i] = compileOne(compile, sources[i]);
    };
    const std::size_t threads =
        std::min<std::size_t>(sources.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> helpers;
    try {
        for (std::size_t t = 1; t < threads; ++t)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than asked for: the ones running (this one at least) do the rest.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();

    std::string failed;
    int failures = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const ShaderSource& s = sources[i];
        const Compilation& r = results[i];
        if (r.code) {
            compiled()[s.text] = r.code;
            compileSeconds()[s.text] = r.seconds;
            continue;
        }
        if (failures++ == 0)
            error = std::string("shader program ") + s.program + " (" + s.target +
                    ") cannot be compiled by d3dcompiler_47.dll (" + hresultText(r.result) + ")" +
                    (r.message.empty() ? "" : ":\n" + r.message);
        failed += (failed.empty() ? "" : ", ") + std::string(s.program);
    }
    if (failures > 0)
        error += "\n(" + std::to_string(failures) + " of " + std::to_string(registry().size()) +
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
