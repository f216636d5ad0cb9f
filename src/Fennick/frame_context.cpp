#include "Fennick/frame_context.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "Fennick/creation_check.h"

namespace {

struct SamplerChoice {
    D3D11_FILTER filter;
    D3D11_TEXTURE_ADDRESS_MODE address;
};

// The demo's shaders name slot 0 "smpClamp" and slot 3 "smpNearestClamp".
constexpr SamplerChoice kSamplers[kSharedSamplerCount] = {
    {D3D11_FILTER_MIN_MAG_MIP_LINEAR, D3D11_TEXTURE_ADDRESS_CLAMP},
    {D3D11_FILTER_MIN_MAG_MIP_LINEAR, D3D11_TEXTURE_ADDRESS_BORDER},
    {D3D11_FILTER_MIN_MAG_MIP_LINEAR, D3D11_TEXTURE_ADDRESS_WRAP},
    {D3D11_FILTER_MIN_MAG_MIP_POINT, D3D11_TEXTURE_ADDRESS_CLAMP},
    {D3D11_FILTER_MIN_MAG_MIP_POINT, D3D11_TEXTURE_ADDRESS_BORDER},
    {D3D11_FILTER_MIN_MAG_MIP_POINT, D3D11_TEXTURE_ADDRESS_WRAP},
};

D3D11_SAMPLER_DESC samplerDescription(const SamplerChoice& choice) {
    D3D11_SAMPLER_DESC description = {};
    description.Filter = choice.filter;
    description.AddressU = choice.address;
    description.AddressV = choice.address;
    description.AddressW = choice.address;
    description.MipLODBias = 0.0f;
    description.MaxAnisotropy = 1;
    description.ComparisonFunc = D3D11_COMPARISON_NEVER;
    description.MinLOD = -FLT_MAX;
    description.MaxLOD = FLT_MAX;
    return description;
}

constexpr const char kDeclarationHead[] = "\ncbuffer ContextBuffer : register(b8) {\n";
constexpr const char kDeclarationBuiltIns[] = "\tfloat time;\n"
                                              "\tuint frame;\n"
                                              "\tfloat elapsedTime;\n"
                                              "\tfloat aspectRatio;\n"
                                              "\tfloat2 resolution;\n"
                                              "\tfloat2 invResolution;\n"
                                              "\tfloat4x4 modelView;\n"
                                              "\tfloat4x4 projection;\n"
                                              "\tfloat4x4 modelViewProjection;\n"
                                              "\tfloat4x4 invModelView;\n"
                                              "\tfloat4x4 invProjection;\n"
                                              "\tfloat4x4 invModelViewProjection;\n"
                                              "\tfloat4x4 lastModelView;\n"
                                              "\tfloat4x4 lastProjection;\n"
                                              "\tfloat4x4 lastModelViewProjection;\n";
constexpr const char kDeclarationTail[] = "};\n\n";

// Shader constant registers are 16 bytes wide.
constexpr uint32_t kRegisterBytes = 16;

} // namespace

FrameContext& frameContext() {
    static FrameContext context;
    return context;
}

void initFrameContext(ContextInit init) {
    FrameContext& fc = frameContext();
    fc.data = init.data;
    fc.declaration = init.declaration;
    fc.device = init.device;
    fc.context = init.context;
    for (uint32_t slot = 0; slot < kSharedSamplerCount; ++slot) {
        const D3D11_SAMPLER_DESC description = samplerDescription(kSamplers[slot]);
        fc.samplers[slot] = nullptr;
        Fennick::gfx::setCreationSubject("sampler s" + std::to_string(slot));
        const HRESULT hr = fc.device->CreateSamplerState(&description, &fc.samplers[slot]);
        Fennick::gfx::noteCreation("CreateSamplerState", hr, fc.samplers[slot]);
    }
    fc.context->VSSetSamplers(0, kSharedSamplerCount, fc.samplers);
    fc.context->PSSetSamplers(0, kSharedSamplerCount, fc.samplers);
    fc.context->CSSetSamplers(0, kSharedSamplerCount, fc.samplers);
}

void updateFrameContext(ContextData in) {
    FrameContext& fc = frameContext();
    ContextData& d = fc.data;
    d.time = in.time;
    d.frame = in.frame;
    d.elapsedTime = in.elapsedTime;
    d.resolution[0] = in.resolution[0];
    d.resolution[1] = in.resolution[1];
    d.invResolution[0] = 1.0f / d.resolution[0];
    d.invResolution[1] = 1.0f / d.resolution[1];

    d.lastModelView = d.modelView;
    d.lastProjection = d.projection;
    d.lastModelViewProjection = d.modelViewProjection;

    d.modelView = in.modelView;
    d.projection = in.projection;
    d.modelViewProjection = multiply(d.modelView, d.projection);
    d.invModelView = inverse(d.modelView);
    d.invProjection = inverse(d.projection);
    d.invModelViewProjection = inverse(d.modelViewProjection);

    // The built-in block alone: the first upload of each frame finds a different size and
    // re-creates the buffer for the block with the parameters.
    fc.bufferDesc.constant = 1;
    fc.bufferDesc.stride = kContextDataSize;
    fc.bufferDesc.countX = 1;

    d.aspectRatio = d.invResolution[1] * d.resolution[0];
}

const ContextData& frameContextData() {
    return frameContext().data;
}

int firstStraddlingParameter(const Fennick::gfx::ParamBlock& params) {
    uint32_t offset = kContextDataSize;
    for (size_t i = 0; i < params.list.size(); ++i) {
        const uint32_t size = Fennick::gfx::paramTypeSize(params.list[i].type);
        if (offset % kRegisterBytes + size > kRegisterBytes)
            return int(i);
        offset += size;
    }
    return -1;
}

std::string buildContextDeclaration(const Fennick::gfx::ParamBlock& params) {
    const int straddling = firstStraddlingParameter(params);
    if (straddling >= 0) {
        const Fennick::gfx::ParamDesc& param = params.list[size_t(straddling)];
        std::fprintf(stderr,
                     "ContextBuffer: parameter %d \"%.*s\" (%s) would cross a 16-byte register "
                     "boundary; the packed block would not match its declaration. Reorder the "
                     "parameters or pad with floats.\n",
                     straddling, int(sizeof param.name), param.name,
                     Fennick::gfx::paramTypeName(param.type));
        std::abort();
    }
    std::string text;
    text += kDeclarationHead;
    text += kDeclarationBuiltIns;
    for (const Fennick::gfx::ParamDesc& param : params.list) {
        text += '\t';
        text += Fennick::gfx::paramTypeName(param.type);
        text += ' ';
        text.append(param.name, std::find(param.name, std::end(param.name), '\0'));
        text += ";\n";
    }
    text += kDeclarationTail;
    return text;
}
