#include "app/check/program_times.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "demo/show_assets.h"
#include "engine_shaders.h"
#include "platform/shader_code.h"

namespace {

struct LinkedProgram {
    std::string name;
    const void* block;
    std::uint32_t size;
};

// The demo's programs in the order of its program table, then the engine's own two.
std::vector<LinkedProgram> linkedPrograms() {
    std::vector<LinkedProgram> programs;
    for (int i = 0; i < kDemoShaderCount; ++i) {
        const auto shader = static_cast<DemoShader>(i);
        const AssetBlock block = demoShader(shader);
        programs.push_back({demoShaderName(shader), block.data, block.size});
    }
    programs.push_back(
        {"engine_vs_fullscreen_flip_y", engineVsFullscreenFlipY, engineVsFullscreenFlipY_size});
    programs.push_back({"engine_ps_copy", enginePsCopy, enginePsCopy_size});
    return programs;
}

// The stage is the name's prefix, as the build compiles it (vs_5_0, ps_5_0, cs_5_0).
HRESULT createShader(ID3D11Device* device, const std::string& name, const ShaderCode& code) {
    const std::string stage = name.substr(name.rfind("engine_", 0) == 0 ? 7 : 0, 2);
    if (stage == "vs") {
        ID3D11VertexShader* shader = nullptr;
        HRESULT hr = device->CreateVertexShader(code.code, code.size, nullptr, &shader);
        if (shader)
            shader->Release();
        return hr;
    }
    if (stage == "ps") {
        ID3D11PixelShader* shader = nullptr;
        HRESULT hr = device->CreatePixelShader(code.code, code.size, nullptr, &shader);
        if (shader)
            shader->Release();
        return hr;
    }
    ID3D11ComputeShader* shader = nullptr;
    HRESULT hr = device->CreateComputeShader(code.code, code.size, nullptr, &shader);
    if (shader)
        shader->Release();
    return hr;
}

} // namespace

std::vector<ProgramTime> timeShowPrograms(ID3D11Device* device) {
    std::vector<ProgramTime> times;
    for (const LinkedProgram& p : linkedPrograms()) {
        ProgramTime t;
        t.name = p.name;
        t.compileSeconds = shaderCompileSeconds(p.block);
        const ShaderCode code = shaderBytecode(p.block, p.size);
        if (code.code != nullptr) {
            const auto started = std::chrono::steady_clock::now();
            t.created = createShader(device, t.name, code);
            t.createSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        }
        times.push_back(t);
    }
    return times;
}

std::string programNameOfBytecode(const void* code) {
    for (const LinkedProgram& p : linkedPrograms())
        if (code != nullptr && shaderBytecode(p.block, p.size).code == code)
            return p.name;
    return "";
}
