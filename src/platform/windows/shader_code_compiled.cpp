// Builds whose shader blocks are HLSL source (the mingw-w64 cross build, which has no fxc):
// every program is compiled once at start-up with D3DCompile from d3dcompiler_47.dll, part of
// Windows 10 and 11 (platform/windows/d3dcompiler_library.h).
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
#include "platform/windows/d3dcompiler_library.h"

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

std::string hresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

struct Compilation : D3DCompilation {
    double seconds = 0.0; // how long this program took on its thread
};

// One program; runs on any thread.
Compilation compileOne(pD3DCompile compile, const ShaderSource& s) {
    const std::string fileName = std::string(s.program) + ".hlsl";
    const auto started = std::chrono::steady_clock::now();
    Compilation r{
        d3dCompile(compile, s.text, *s.size, fileName.c_str(), nullptr, s.entry, s.target)};
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
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
    pD3DCompile compile = d3dCompileFunction(error);
    if (!compile)
        return false;
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
