// ShaderRuntime: the shader objects of a pass, made from the bytecode its description holds.
#include "Fennick/shader_runtime.h"

#include "Fennick/creation_check.h"
#include "Fennick/device_access.h"

namespace Fennick::gfx {

bool ShaderRuntime::create() {
    HRESULT hr = S_OK;
    // A stage without bytecode gets no shader, so its pass is skipped when executed.
    switch (desc.stageKind) {
    case Graphics:
        if (desc.vertexCode && desc.vertexCodeSize > 0) {
            hr = device()->CreateVertexShader(desc.vertexCode, desc.vertexCodeSize, nullptr,
                                              &vertexShader);
            noteCreation("CreateVertexShader", hr, vertexShader, "vertex shader");
        }
        if (desc.pixelCode && desc.pixelCodeSize > 0) {
            hr = device()->CreatePixelShader(desc.pixelCode, desc.pixelCodeSize, nullptr,
                                             &pixelShader);
            noteCreation("CreatePixelShader", hr, pixelShader, "pixel shader");
        }
        break;
    case Compute:
        if (desc.computeCode && desc.computeCodeSize > 0) {
            hr = device()->CreateComputeShader(desc.computeCode, desc.computeCodeSize, nullptr,
                                               &computeShader);
            noteCreation("CreateComputeShader", hr, computeShader, "compute shader");
        }
        break;
    }
    return true;
}

bool ShaderRuntime::setDesc(const ShaderDesc& description) {
    desc = description;
    return create();
}

} // namespace Fennick::gfx
