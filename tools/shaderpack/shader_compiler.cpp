#include "shader_compiler.h"

namespace shaderpack {

CompileResult compileHlsl(const HlslSource& source) {
    CompileResult result;
    SpirvResult spirv = hlslToSpirv(source);
    result.included = std::move(spirv.included);
    if (spirv.error) {
        result.error = std::move(spirv.error);
        return result;
    }
    quavel::d3d11::ShaderBlock block;
    std::string reason;
    if (!spirvToBlock(source.stage, spirv.words, block, reason)) {
        // The HLSL compiled, so the fault is in what the block can describe: no line.
        result.error = CompileError{source.program, source.path, 0, reason};
        return result;
    }
    result.block = quavel::d3d11::encodeShaderBlock(block);
    return result;
}

} // namespace shaderpack
