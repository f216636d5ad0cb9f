#include "platform/linux/d3d11/shaders.h"

#include <atomic>
#include <cstdio>
#include <new>

#include "platform/linux/d3d11/debug_switches.h"
#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/fill_rule.h"
#include "platform/linux/d3d11/refusals.h"
#include "platform/linux/d3d11/wide_trig.h"

namespace quavel::d3d11 {
namespace {

GLenum glStageOf(ShaderStage stage) {
    switch (stage) {
    case ShaderStage::Vertex:
        return GL_VERTEX_SHADER;
    case ShaderStage::Pixel:
        return GL_FRAGMENT_SHADER;
    default:
        return GL_COMPUTE_SHADER;
    }
}

std::string infoLog(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::string log(length > 0 ? length : 0, '\0');
    if (length > 0) {
        if (isProgram) {
            glGetProgramInfoLog(object, length, nullptr, &log[0]);
        } else {
            glGetShaderInfoLog(object, length, nullptr, &log[0]);
        }
    }
    return log;
}

// The block's text with the image format macros defined right after its #version line.
std::string sourceWithFormats(const ShaderBlock& block,
                              const std::vector<std::string>& imageFormats) {
    std::string defines;
    size_t image = 0;
    for (size_t i = 0; i < block.bindings.size(); ++i) {
        if (block.bindings[i].kind == BindingKind::RWTexture) {
            defines += "#define " + imageFormatMacro(i) + " " + imageFormats[image++] + "\n";
        }
    }
    size_t lineEnd = block.glsl.find('\n');
    if (lineEnd == std::string::npos) {
        return block.glsl + "\n" + defines;
    }
    return block.glsl.substr(0, lineEnd + 1) + defines + block.glsl.substr(lineEnd + 1);
}

std::vector<std::string> declaredFormats(const ShaderBlock& block) {
    std::vector<std::string> formats;
    for (const ShaderBinding& binding : block.bindings) {
        if (binding.kind == BindingKind::RWTexture) {
            formats.push_back(binding.format);
        }
    }
    return formats;
}

// A compiled shader object, or 0 (the compiler's complaint goes to stderr: it names a fault
// of the build, not of the running show). Pixel programs read their inputs `rasterStep` below
// the rasterized position (fill_rule.h).
GLuint compileStage(const ShaderBlock& block, const std::vector<std::string>& imageFormats,
                    float rasterStep = 0.0f) {
    std::string source =
        withWideTrig(sourceWithFormats(block, imageFormats), wideTrigFromEnvironment());
    if (block.stage == ShaderStage::Pixel) {
        source = readInputsBeforeTheShift(source, rasterStep);
    }
    const char* text = source.c_str();
    GLuint shader = glCreateShader(glStageOf(block.stage));
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        std::fprintf(stderr, "d3d11: shader does not compile: %s\n",
                     infoLog(shader, false).c_str());
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

uint64_t nextSerial() {
    static std::atomic<uint64_t> serial{1};
    return serial++;
}

template <class Interface>
class ShaderObject final : public DeviceChildObject<Interface>, public GlShader {
public:
    explicit ShaderObject(Device& device) : DeviceChildObject<Interface>(device) {}
    ~ShaderObject() override {
        this->device().makeCurrent();
        this->device().forgetShader(serial);
        for (auto& variant : variants) {
            deleteProgram(variant.second);
        }
        glDeleteShader(shader);
    }

    // Compute programs by image formats.
    std::map<std::vector<std::string>, LinkedProgram> variants;
};

struct Limits {
    GLint textureUnits, imageUnits, uniformBuffers, storageBuffers;
};

Limits queryLimits() {
    Limits limits{};
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &limits.textureUnits);
    glGetIntegerv(GL_MAX_IMAGE_UNITS, &limits.imageUnits);
    glGetIntegerv(GL_MAX_UNIFORM_BUFFER_BINDINGS, &limits.uniformBuffers);
    glGetIntegerv(GL_MAX_SHADER_STORAGE_BUFFER_BINDINGS, &limits.storageBuffers);
    return limits;
}

// Gives one program resource its unit. Resources declared alike in two stages are one
// OpenGL resource; they keep the unit the first stage gave them.
class SlotAssigner {
public:
    explicit SlotAssigner(GLuint program) : program_(program), limits_(queryLimits()) {}

    bool assign(const ShaderBinding& binding, ShaderStage stage, std::vector<ProgramSlot>& slots) {
        switch (binding.kind) {
        case BindingKind::SampledTexture:
            return assignUniform(binding, stage, slots, textureUnits_, limits_.textureUnits);
        case BindingKind::RWTexture:
            return assignUniform(binding, stage, slots, imageUnits_, limits_.imageUnits);
        case BindingKind::ConstantBuffer:
            return assignBlock(binding, stage, slots, uniformBlocks_, limits_.uniformBuffers,
                               GL_UNIFORM_BLOCK);
        case BindingKind::StructuredBuffer:
        case BindingKind::RWStructuredBuffer:
            return assignBlock(binding, stage, slots, storageBlocks_, limits_.storageBuffers,
                               GL_SHADER_STORAGE_BLOCK);
        }
        return false;
    }

private:
    bool assignUniform(const ShaderBinding& binding, ShaderStage stage,
                       std::vector<ProgramSlot>& slots, std::map<GLint, GLuint>& units,
                       GLint limit) {
        GLint location = glGetUniformLocation(program_, binding.name.c_str());
        if (location < 0) {
            return true; // optimised away: nothing to bind
        }
        if (units.count(location) == 0) {
            GLuint unit = static_cast<GLuint>(units.size());
            if (static_cast<GLint>(unit) >= limit) {
                return false;
            }
            units[location] = unit;
            glProgramUniform1i(program_, location, static_cast<GLint>(unit));
            slots.push_back(
                {binding.kind, stage, binding.registerIndex, binding.samplerRegister, unit});
        }
        return true;
    }

    bool assignBlock(const ShaderBinding& binding, ShaderStage stage,
                     std::vector<ProgramSlot>& slots, std::map<GLuint, GLuint>& bindings,
                     GLint limit, GLenum interface) {
        GLuint index = glGetProgramResourceIndex(program_, interface, binding.name.c_str());
        if (index == GL_INVALID_INDEX) {
            return true;
        }
        if (bindings.count(index) == 0) {
            GLuint point = static_cast<GLuint>(bindings.size());
            if (static_cast<GLint>(point) >= limit) {
                return false;
            }
            bindings[index] = point;
            if (interface == GL_UNIFORM_BLOCK) {
                glUniformBlockBinding(program_, index, point);
            } else {
                glShaderStorageBlockBinding(program_, index, point);
            }
            slots.push_back(
                {binding.kind, stage, binding.registerIndex, binding.samplerRegister, point});
        }
        return true;
    }

    GLuint program_;
    Limits limits_;
    std::map<GLint, GLuint> textureUnits_, imageUnits_;
    std::map<GLuint, GLuint> uniformBlocks_, storageBlocks_;
};

LinkedProgram linkShaders(const std::vector<std::pair<GLuint, const ShaderBlock*>>& stages) {
    LinkedProgram linked;
    GLuint program = glCreateProgram();
    for (const auto& stage : stages) {
        glAttachShader(program, stage.first);
    }
    glLinkProgram(program);
    for (const auto& stage : stages) {
        glDetachShader(program, stage.first);
    }
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        std::fprintf(stderr, "d3d11: shaders do not link: %s\n", infoLog(program, true).c_str());
        glDeleteProgram(program);
        return linked;
    }
    SlotAssigner assigner(program);
    for (const auto& stage : stages) {
        for (const ShaderBinding& binding : stage.second->bindings) {
            if (!assigner.assign(binding, stage.second->stage, linked.slots)) {
                std::fprintf(stderr, "d3d11: program needs more units than the device has\n");
                glDeleteProgram(program);
                linked.slots.clear();
                return linked;
            }
        }
    }
    linked.program = program;
    return linked;
}

// What a well-formed block may still ask for that this layer cannot give as Direct3D would;
// null when there is nothing.
const char* unsupportedFeature(const ShaderBlock& block) {
    for (size_t i = 0; i < block.bindings.size(); ++i) {
        const ShaderBinding& binding = block.bindings[i];
        const bool unorderedAccess = binding.kind == BindingKind::RWStructuredBuffer ||
                                     binding.kind == BindingKind::RWTexture;
        if (unorderedAccess && block.stage != ShaderStage::Compute) {
            return "unordered-access views (u registers) are bound to compute shaders only";
        }
        for (size_t j = 0; j < i; ++j) {
            if (block.bindings[j].name == binding.name) {
                return "two resources share one GLSL name and would share one binding";
            }
        }
    }
    if (block.glsl.find("gl_ClipDistance") != std::string::npos) {
        return "SV_ClipDistance: clip distances are not supported";
    }
    return nullptr;
}

const char* creatorOf(ShaderStage stage) {
    switch (stage) {
    case ShaderStage::Vertex:
        return "CreateVertexShader";
    case ShaderStage::Pixel:
        return "CreatePixelShader";
    default:
        return "CreateComputeShader";
    }
}

template <class Interface>
HRESULT makeShader(Device& device, ShaderStage stage, const void* bytecode, SIZE_T length,
                   Interface** out) {
    ShaderBlock block;
    if (bytecode == nullptr || !decodeShaderBlock(bytecode, length, block) ||
        block.stage != stage) {
        return refuse(creatorOf(stage), "the bytecode is not a shader block of this stage");
    }
    if (const char* feature = unsupportedFeature(block)) {
        return refuse(creatorOf(stage), feature);
    }
    const std::string& refused = debugSwitches().refusedShaderText;
    if (!refused.empty() && block.glsl.find(refused) != std::string::npos) {
        return refuse(creatorOf(stage), "QUAVEL_D3D11_REFUSE_SHADER names this shader");
    }
    device.makeCurrent();
    GLuint shader = compileStage(block, declaredFormats(block), device.limits().rasterStep);
    if (shader == 0) {
        return refuse(creatorOf(stage), "the shader's GLSL does not compile (see the log)");
    }
    if (out == nullptr) {
        glDeleteShader(shader);
        return S_FALSE;
    }
    auto* object = new (std::nothrow) ShaderObject<Interface>(device);
    if (object == nullptr) {
        glDeleteShader(shader);
        return E_OUTOFMEMORY;
    }
    object->block = std::move(block);
    object->shader = shader;
    object->serial = nextSerial();
    *out = object;
    return S_OK;
}

} // namespace

const GlShader* glShader(ID3D11VertexShader* shader) {
    return dynamic_cast<const GlShader*>(shader);
}

const GlShader* glShader(ID3D11PixelShader* shader) {
    return dynamic_cast<const GlShader*>(shader);
}

const GlShader* glShader(ID3D11ComputeShader* shader) {
    return dynamic_cast<const GlShader*>(shader);
}

const LinkedProgram& computeProgram(ID3D11ComputeShader* shader,
                                    const std::vector<std::string>& imageFormats) {
    auto* object = static_cast<ShaderObject<ID3D11ComputeShader>*>(shader);
    auto found = object->variants.find(imageFormats);
    if (found != object->variants.end()) {
        return found->second;
    }
    LinkedProgram& linked = object->variants[imageFormats];
    if (imageFormats == declaredFormats(object->block)) {
        linked = linkShaders({{object->shader, &object->block}});
    } else {
        GLuint variant = compileStage(object->block, imageFormats);
        if (variant != 0) {
            linked = linkShaders({{variant, &object->block}});
            glDeleteShader(variant);
        }
    }
    return linked;
}

LinkedProgram linkProgram(const std::vector<const GlShader*>& stages) {
    std::vector<std::pair<GLuint, const ShaderBlock*>> compiled;
    for (const GlShader* stage : stages) {
        compiled.emplace_back(stage->shader, &stage->block);
    }
    return linkShaders(compiled);
}

void deleteProgram(LinkedProgram& program) {
    if (program.program != 0) {
        glDeleteProgram(program.program);
    }
    program = LinkedProgram();
}

HRESULT createVertexShader(Device& device, const void* bytecode, SIZE_T length,
                           ID3D11VertexShader** out) {
    return makeShader(device, ShaderStage::Vertex, bytecode, length, out);
}

HRESULT createPixelShader(Device& device, const void* bytecode, SIZE_T length,
                          ID3D11PixelShader** out) {
    return makeShader(device, ShaderStage::Pixel, bytecode, length, out);
}

HRESULT createComputeShader(Device& device, const void* bytecode, SIZE_T length,
                            ID3D11ComputeShader** out) {
    return makeShader(device, ShaderStage::Compute, bytecode, length, out);
}

} // namespace quavel::d3d11
