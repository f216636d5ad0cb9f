// Builds whose shader blocks are already bytecode: nothing to prepare.
#include "platform/shader_code.h"

bool registerShaderSource(const ShaderSource&) {
    return false; // no source blocks are linked into such a build
}

bool prepareShaderCode(std::string&) {
    return true;
}

ShaderCode shaderBytecode(const void* block, std::uint32_t size) {
    return {block, size};
}

double shaderCompileSeconds(const void*) {
    return -1.0;
}
