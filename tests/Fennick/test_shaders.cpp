#include "test_shaders.h"

#include "engine_test_shaders.h"

namespace engine_test {

ShaderBytecode csPingPong() {
    return {::csPingPong, ::csPingPong_size};
}
ShaderBytecode csGroupCount() {
    return {::csGroupCount, ::csGroupCount_size};
}
ShaderBytecode csCountRuns() {
    return {::csCountRuns, ::csCountRuns_size};
}
ShaderBytecode csContextProbe() {
    return {::csContextProbe, ::csContextProbe_size};
}
ShaderBytecode csCounterState() {
    return {::csCounterState, ::csCounterState_size};
}
ShaderBytecode csFillTexture() {
    return {::csFillTexture, ::csFillTexture_size};
}
ShaderBytecode psParamColour() {
    return {::psParamColour, ::psParamColour_size};
}
ShaderBytecode psPattern() {
    return {::psPattern, ::psPattern_size};
}
ShaderBytecode psScaledCopy() {
    return {::psScaledCopy, ::psScaledCopy_size};
}
ShaderBytecode psSixSamplers() {
    return {::psSixSamplers, ::psSixSamplers_size};
}

Fennick::gfx::ShaderDesc graphicsShader(ShaderBytecode vertex, ShaderBytecode pixel) {
    Fennick::gfx::ShaderDesc desc;
    desc.stageKind = Fennick::gfx::Graphics;
    desc.vertexCode = vertex.code;
    desc.vertexCodeSize = vertex.size;
    desc.pixelCode = pixel.code;
    desc.pixelCodeSize = pixel.size;
    return desc;
}

Fennick::gfx::ShaderDesc computeShader(ShaderBytecode kernel) {
    Fennick::gfx::ShaderDesc desc;
    desc.stageKind = Fennick::gfx::Compute;
    desc.computeCode = kernel.code;
    desc.computeCodeSize = kernel.size;
    return desc;
}

} // namespace engine_test
