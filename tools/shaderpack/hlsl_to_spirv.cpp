// HLSL -> SPIR-V with glslang's C++ interface, set up as the build has always compiled the
// show's programs: HLSL front end under Vulkan rules, SPIR-V 1.0, HLSL register classes
// mapped to binding ranges (glsl_bindings.h), SV_Position's w as Direct3D gives it, and
// SPIRV-Tools legalization of the HLSL result.
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include <list>
#include <map>
#include <mutex>

#include "glsl_bindings.h"
#include "shader_compiler.h"
#include "wide_trig_prelude.h"

namespace shaderpack {
namespace {

using quavel::d3d11::ShaderStage;

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// "#include" resolution: the including file's folder, then the folders of the files that
// included it (innermost first), then the include directories in the order given.
class FolderIncluder : public glslang::TShader::Includer {
public:
    FolderIncluder(const HlslSource& source, std::vector<std::string>& included)
        : source_(source), included_(included) {}

    IncludeResult* includeLocal(const char* header, const char* includer, size_t depth) override {
        // The stack holds the folders of the files being read, outermost first.
        folders_.resize(depth > 0 ? depth - 1 : 0);
        folders_.push_back(folderOf(includer));
        std::vector<std::string> candidates(folders_.rbegin(), folders_.rend());
        candidates.insert(candidates.end(), source_.includeDirs.begin(), source_.includeDirs.end());
        for (const std::string& folder : candidates) {
            std::string path = folder + "/" + header;
            std::string text;
            if (readHlslFile(path, text)) {
                included_.push_back(path);
                texts_.push_back(std::move(text));
                return new IncludeResult(path, texts_.back().data(), texts_.back().size(), nullptr);
            }
        }
        return nullptr;
    }

    void releaseInclude(IncludeResult* result) override { delete result; }

private:
    const HlslSource& source_;
    std::vector<std::string>& included_;
    std::vector<std::string> folders_;
    std::list<std::string> texts_; // stable addresses while glslang reads them
};

EShLanguage languageOf(ShaderStage stage) {
    static const std::map<ShaderStage, EShLanguage> languages = {
        {ShaderStage::Vertex, EShLangVertex},
        {ShaderStage::Pixel, EShLangFragment},
        {ShaderStage::Compute, EShLangCompute}};
    return languages.at(stage);
}

void initializeOnce() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

} // namespace

SpirvResult hlslToSpirv(const HlslSource& source, bool invertY, bool reduceWideTrig) {
    initializeOnce();
    SpirvResult result;
    std::string text;
    if ((result.error = readMainText(source, text)))
        return result;
    result.included.push_back(source.path);

    const EShLanguage language = languageOf(source.stage);
    glslang::TShader shader(language);
    // The prelude is a string of its own, so the program's lines keep their numbers; it
    // carries the program's name, as glslang resolves includes from the first string's name.
    const char* strings[] = {wideTrigPrelude().c_str(), text.c_str()};
    const int lengths[] = {static_cast<int>(wideTrigPrelude().size()),
                           static_cast<int>(text.size())};
    const char* names[] = {source.path.c_str(), source.path.c_str()};
    const int first = reduceWideTrig ? 0 : 1;
    shader.setStringsWithLengthsAndNames(strings + first, lengths + first, names + first,
                                         2 - first);
    shader.setEntryPoint(source.entry.c_str());
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    shader.setHlslIoMapping(true);
    shader.setDxPositionW(true);
    shader.setInvertY(invertY && source.stage == ShaderStage::Vertex);
    struct Shift {
        glslang::TResourceType type;
        unsigned base;
    };
    const Shift shifts[] = {{glslang::EResTexture, 0},
                            {glslang::EResSampler, samplerBindingBase},
                            {glslang::EResUbo, constantBufferBindingBase},
                            {glslang::EResUav, uavBindingBase},
                            {glslang::EResSsbo, ssboBindingBase}};
    for (const Shift& shift : shifts) {
        shader.setShiftBinding(shift.type, shift.base);
    }

    const auto messages =
        static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl);
    FolderIncluder includer(source, result.included);
    if (!shader.parse(GetDefaultResources(), 100, false, messages, includer)) {
        result.error = firstCompileError(CompilerLog::Glslang, source, shader.getInfoLog());
        return result;
    }
    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(messages) || !program.mapIO()) {
        result.error = firstCompileError(CompilerLog::Glslang, source, program.getInfoLog());
        return result;
    }
    glslang::SpvOptions options;
    options.disableOptimizer = false; // legalizes the HLSL result, as glslangValidator does
    spv::SpvBuildLogger logger;
    glslang::GlslangToSpv(*program.getIntermediate(language), result.words, &logger, &options);
    if (result.words.empty()) {
        result.error = CompileError{source.program, source.path, 0,
                                    "SPIR-V generation failed: " + logger.getAllMessages()};
    }
    return result;
}

} // namespace shaderpack
