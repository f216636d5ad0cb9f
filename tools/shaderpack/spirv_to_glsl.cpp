// SPIR-V -> GLSL 4.50 and the register table, with SPIRV-Cross's C API. The GLSL is what
// `spirv-cross --version 450 --no-es` writes: every texture sampled through a sampler is a
// combined uniform named SPIRV_Cross_Combined<texture><sampler> (SPIRV_Cross_DummySampler
// for a texture only loaded from), which glsl_bindings.cpp splits back into registers.
#include <spirv_cross/spirv_cross_c.h>

#include <memory>

#include "glsl_bindings.h"
#include "shader_compiler.h"

namespace shaderpack {
namespace {

using Context = std::unique_ptr<spvc_context_s, decltype(&spvc_context_destroy)>;

bool failed(spvc_result result, spvc_context context, const char* step, std::string& error) {
    if (result == SPVC_SUCCESS) {
        return false;
    }
    error = std::string(step) + ": " + spvc_context_get_last_error_string(context);
    return true;
}

// The module's separate images and samplers with their bindings, as the module has them.
bool reflect(spvc_context context, spvc_parsed_ir ir, Reflection& reflection, std::string& error) {
    spvc_compiler compiler = nullptr;
    spvc_resources resources = nullptr;
    if (failed(spvc_context_create_compiler(context, SPVC_BACKEND_NONE, ir, SPVC_CAPTURE_MODE_COPY,
                                            &compiler),
               context, "reflection", error) ||
        failed(spvc_compiler_create_shader_resources(compiler, &resources), context, "reflection",
               error)) {
        return false;
    }
    struct Kind {
        spvc_resource_type type;
        std::vector<Reflection::Resource>* target;
    };
    std::vector<Reflection::Resource> combined;
    const Kind kinds[] = {{SPVC_RESOURCE_TYPE_SEPARATE_IMAGE, &reflection.separateImages},
                          {SPVC_RESOURCE_TYPE_SEPARATE_SAMPLERS, &reflection.separateSamplers},
                          {SPVC_RESOURCE_TYPE_SAMPLED_IMAGE, &combined}};
    for (const Kind& kind : kinds) {
        const spvc_reflected_resource* list = nullptr;
        size_t count = 0;
        if (failed(spvc_resources_get_resource_list_for_type(resources, kind.type, &list, &count),
                   context, "reflection", error)) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            kind.target->push_back({list[i].name, spvc_compiler_get_decoration(
                                                      compiler, list[i].id, SpvDecorationBinding)});
        }
    }
    reflection.combinedImageSamplers = combined.size();
    return true;
}

bool toGlsl(spvc_context context, spvc_parsed_ir ir, std::string& glsl, std::string& error) {
    spvc_compiler compiler = nullptr;
    spvc_compiler_options options = nullptr;
    if (failed(spvc_context_create_compiler(context, SPVC_BACKEND_GLSL, ir,
                                            SPVC_CAPTURE_MODE_TAKE_OWNERSHIP, &compiler),
               context, "GLSL", error) ||
        failed(spvc_compiler_create_compiler_options(compiler, &options), context, "GLSL", error) ||
        failed(spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 450),
               context, "GLSL", error) ||
        failed(spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE),
               context, "GLSL", error) ||
        failed(spvc_compiler_install_compiler_options(compiler, options), context, "GLSL", error)) {
        return false;
    }
    // OpenGL has no separate samplers: a sampler for textures that are only loaded from, then
    // one combined uniform per texture and sampler pair used together.
    spvc_variable_id dummy = 0;
    if (failed(spvc_compiler_build_dummy_sampler_for_combined_images(compiler, &dummy), context,
               "dummy sampler", error)) {
        return false;
    }
    if (dummy != 0) {
        spvc_compiler_set_decoration(compiler, dummy, SpvDecorationDescriptorSet, 0);
        spvc_compiler_set_decoration(compiler, dummy, SpvDecorationBinding, 0);
    }
    const spvc_combined_image_sampler* pairs = nullptr;
    size_t pairCount = 0;
    if (failed(spvc_compiler_build_combined_image_samplers(compiler), context, "combined samplers",
               error) ||
        failed(spvc_compiler_get_combined_image_samplers(compiler, &pairs, &pairCount), context,
               "combined samplers", error)) {
        return false;
    }
    for (size_t i = 0; i < pairCount; ++i) {
        std::string name = std::string("SPIRV_Cross_Combined") +
                           spvc_compiler_get_name(compiler, pairs[i].image_id) +
                           spvc_compiler_get_name(compiler, pairs[i].sampler_id);
        spvc_compiler_set_name(compiler, pairs[i].combined_id, name.c_str());
    }
    const char* text = nullptr;
    if (failed(spvc_compiler_compile(compiler, &text), context, "GLSL", error)) {
        return false;
    }
    glsl = text;
    return true;
}

} // namespace

bool spirvToBlock(quavel::d3d11::ShaderStage stage, const std::vector<uint32_t>& spirv,
                  quavel::d3d11::ShaderBlock& block, std::string& error) {
    spvc_context raw = nullptr;
    if (spvc_context_create(&raw) != SPVC_SUCCESS) {
        error = "cannot create a SPIRV-Cross context";
        return false;
    }
    Context context(raw, &spvc_context_destroy); // owns every object made from it
    spvc_parsed_ir ir = nullptr;
    Reflection reflection;
    std::string glsl;
    if (failed(spvc_context_parse_spirv(raw, spirv.data(), spirv.size(), &ir), raw, "SPIR-V",
               error) ||
        !reflect(raw, ir, reflection, error) || !toGlsl(raw, ir, glsl, error)) {
        return false;
    }
    return buildShaderBlock(stage, glsl, reflection, block, error);
}

} // namespace shaderpack
