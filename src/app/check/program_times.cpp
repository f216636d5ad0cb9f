#include "app/check/program_times.h"

#include <chrono>

#include "demo_shaders.h"
#include "engine_shaders.h"
#include "platform/shader_code.h"

namespace {

struct LinkedProgram {
    const char* name;
    const unsigned char* block;
    const unsigned int* size;
};

#define QUAVEL_PROGRAM(name, block)                                                                \
    { name, block, &block##_size }
const LinkedProgram kPrograms[] = {
    QUAVEL_PROGRAM("vs_fullscreen", vsFullscreen),
    QUAVEL_PROGRAM("vs_fullscreen_flip_y", vsFullscreenFlipY),
    QUAVEL_PROGRAM("vs_fullscreen_flip_y2", vsFullscreenFlipY2),
    QUAVEL_PROGRAM("vs_particles", vsParticles),
    QUAVEL_PROGRAM("vs_glyphs", vsGlyphs),
    QUAVEL_PROGRAM("ps_pyramid", psPyramid),
    QUAVEL_PROGRAM("ps_glow_blur", psGlowBlur),
    QUAVEL_PROGRAM("ps_particle", psParticle),
    QUAVEL_PROGRAM("ps_composite", psComposite),
    QUAVEL_PROGRAM("ps_pyramid_post", psPyramidPost),
    QUAVEL_PROGRAM("ps_glyphs", psGlyphs),
    QUAVEL_PROGRAM("ps_scroller_post", psScrollerPost),
    QUAVEL_PROGRAM("ps_glow_logo", psGlowLogo),
    QUAVEL_PROGRAM("ps_rasters", psRasters),
    QUAVEL_PROGRAM("ps_explosion", psExplosion),
    QUAVEL_PROGRAM("ps_copy", psCopy),
    QUAVEL_PROGRAM("cs_pyramid", csPyramid),
    QUAVEL_PROGRAM("cs_particles", csParticles),
    QUAVEL_PROGRAM("cs_message_layout", csMessageLayout),
    QUAVEL_PROGRAM("engine_vs_fullscreen_flip_y", engineVsFullscreenFlipY),
    QUAVEL_PROGRAM("engine_ps_copy", enginePsCopy),
};
#undef QUAVEL_PROGRAM

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
    for (const LinkedProgram& p : kPrograms) {
        ProgramTime t;
        t.name = p.name;
        t.compileSeconds = shaderCompileSeconds(p.block);
        const ShaderCode code = shaderBytecode(p.block, *p.size);
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
    for (const LinkedProgram& p : kPrograms)
        if (code != nullptr && shaderBytecode(p.block, *p.size).code == code)
            return p.name;
    return "";
}
