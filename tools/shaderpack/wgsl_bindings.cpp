// Reflection by SPIRV-Cross's C API; the binding numbers are those glslang gave the HLSL
// register classes (glsl_bindings.h), which are also the web block's numbering.
#include "wgsl_bindings.h"

#include <spirv_cross/spirv_cross_c.h>

#include <memory>

#include "glsl_bindings.h"

namespace shaderpack {
namespace {

using quavel::web::RegisterClass;
using quavel::web::WgslBinding;
using quavel::web::WgslBindingKind;

// The web block numbers registers as glslang's shifts place them.
static_assert(quavel::web::registerRanges[1].base == samplerBindingBase &&
              quavel::web::registerRanges[2].base == constantBufferBindingBase &&
              quavel::web::registerRanges[3].base == uavBindingBase);

constexpr uint32_t opDecorate = 71;
constexpr uint32_t decorationDescriptorSet = 34;
constexpr size_t spirvHeaderWords = 5;

using Context = std::unique_ptr<spvc_context_s, decltype(&spvc_context_destroy)>;

// What a reflected resource of each SPIR-V kind may be, by the register class it sits in.
struct KindRule {
    spvc_resource_type type;
    RegisterClass registerClass;
    WgslBindingKind kind;
};
const KindRule kindRules[] = {
    {SPVC_RESOURCE_TYPE_SEPARATE_IMAGE, RegisterClass::Texture, WgslBindingKind::Texture},
    {SPVC_RESOURCE_TYPE_SEPARATE_SAMPLERS, RegisterClass::Sampler, WgslBindingKind::Sampler},
    {SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, RegisterClass::ConstantBuffer,
     WgslBindingKind::ConstantBuffer},
    {SPVC_RESOURCE_TYPE_STORAGE_BUFFER, RegisterClass::Texture, WgslBindingKind::StructuredBuffer},
    {SPVC_RESOURCE_TYPE_STORAGE_BUFFER, RegisterClass::Uav, WgslBindingKind::RWStructuredBuffer},
};

// Kinds the Direct3D layer has no WebGPU binding for.
const spvc_resource_type refusedTypes[] = {SPVC_RESOURCE_TYPE_SAMPLED_IMAGE,
                                           SPVC_RESOURCE_TYPE_STORAGE_IMAGE};

} // namespace

void setDescriptorSet(std::vector<uint32_t>& spirv, uint32_t group) {
    size_t at = spirvHeaderWords;
    while (at < spirv.size()) {
        const uint32_t count = spirv[at] >> 16;
        if (count == 0) {
            return; // malformed; the reader will say so
        }
        if ((spirv[at] & 0xffffu) == opDecorate && count >= 4 && at + 3 < spirv.size() &&
            spirv[at + 2] == decorationDescriptorSet) {
            spirv[at + 3] = group;
        }
        at += count;
    }
}

bool wgslBindings(quavel::d3d11::ShaderStage stage, const std::vector<uint32_t>& spirv,
                  std::vector<WgslBinding>& bindings, std::string& error) {
    spvc_context raw = nullptr;
    if (spvc_context_create(&raw) != SPVC_SUCCESS) {
        error = "cannot create a SPIRV-Cross context";
        return false;
    }
    Context context(raw, &spvc_context_destroy);
    spvc_parsed_ir ir = nullptr;
    spvc_compiler compiler = nullptr;
    spvc_resources resources = nullptr;
    if (spvc_context_parse_spirv(raw, spirv.data(), spirv.size(), &ir) != SPVC_SUCCESS ||
        spvc_context_create_compiler(raw, SPVC_BACKEND_NONE, ir, SPVC_CAPTURE_MODE_COPY,
                                     &compiler) != SPVC_SUCCESS ||
        spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) {
        error = std::string("reflection: ") + spvc_context_get_last_error_string(raw);
        return false;
    }
    auto list = [&](spvc_resource_type type) {
        const spvc_reflected_resource* items = nullptr;
        size_t count = 0;
        spvc_resources_get_resource_list_for_type(resources, type, &items, &count);
        return std::vector<spvc_reflected_resource>(items, items + count);
    };
    for (spvc_resource_type type : refusedTypes) {
        if (!list(type).empty()) {
            error = "resource " + std::string(list(type)[0].name) +
                    ": combined samplers and storage images have no web binding";
            return false;
        }
    }
    bindings.clear();
    const spvc_resource_type reflected[] = {
        SPVC_RESOURCE_TYPE_SEPARATE_IMAGE, SPVC_RESOURCE_TYPE_SEPARATE_SAMPLERS,
        SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, SPVC_RESOURCE_TYPE_STORAGE_BUFFER};
    for (spvc_resource_type type : reflected) {
        for (const spvc_reflected_resource& resource : list(type)) {
            const uint32_t binding =
                spvc_compiler_get_decoration(compiler, resource.id, SpvDecorationBinding);
            const uint32_t set =
                spvc_compiler_get_decoration(compiler, resource.id, SpvDecorationDescriptorSet);
            const auto reg = quavel::web::registerOfBinding(binding);
            const KindRule* rule = nullptr;
            for (const KindRule& candidate : kindRules) {
                if (reg && candidate.type == type && candidate.registerClass == reg->kind) {
                    rule = &candidate;
                }
            }
            if (!rule || set != quavel::web::groupOf(stage)) {
                error = "resource " + std::string(resource.name) + " (set " + std::to_string(set) +
                        ", binding " + std::to_string(binding) +
                        ") is in no register class the web layer binds";
                return false;
            }
            bindings.push_back({rule->kind, set, binding, reg->index});
        }
    }
    return true;
}

} // namespace shaderpack
