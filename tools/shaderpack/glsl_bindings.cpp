#include "glsl_bindings.h"

#include <map>
#include <sstream>
#include <vector>

namespace shaderpack {
namespace {

using quavel::d3d11::BindingKind;
using quavel::d3d11::noSampler;
using quavel::d3d11::ShaderBinding;
using quavel::d3d11::ShaderBlock;
using quavel::d3d11::ShaderStage;

constexpr const char* combinedPrefix = "SPIRV_Cross_Combined";
constexpr const char* dummySampler = "SPIRV_Cross_DummySampler";

enum class RegisterClass { Texture, Sampler, ConstantBuffer, Uav, Unknown };

struct Register {
    RegisterClass kind;
    unsigned index;
};

Register registerOf(unsigned binding) {
    struct Range {
        unsigned base;
        RegisterClass kind;
    };
    static const Range ranges[] = {{0, RegisterClass::Texture},
                                   {samplerBindingBase, RegisterClass::Sampler},
                                   {constantBufferBindingBase, RegisterClass::ConstantBuffer},
                                   {uavBindingBase, RegisterClass::Uav}};
    for (const Range& range : ranges) {
        if (binding >= range.base && binding < range.base + bindingClassSpan) {
            return {range.kind, binding - range.base};
        }
    }
    return {RegisterClass::Unknown, 0};
}

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> result;
    std::string word;
    for (char c : text) {
        if (isIdentifierChar(c)) {
            word += c;
        } else if (!word.empty()) {
            result.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) {
        result.push_back(word);
    }
    return result;
}

// The word after `keyword` in `text`, or empty.
std::string wordAfter(const std::vector<std::string>& list, const std::string& keyword) {
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i] == keyword) {
            return list[i + 1];
        }
    }
    return "";
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

struct Names {
    std::map<std::string, unsigned> textures; // separate image name -> t register
    std::map<std::string, unsigned> samplers; // separate sampler name -> s register
};

bool readReflection(const Reflection& reflection, Names& names, std::string& error) {
    if (reflection.combinedImageSamplers != 0) {
        error = "combined texture-samplers in SPIR-V are not supported; use separate samplers";
        return false;
    }
    struct Source {
        const std::vector<Reflection::Resource>* resources;
        RegisterClass kind;
        std::map<std::string, unsigned>* target;
    };
    const Source sources[] = {
        {&reflection.separateImages, RegisterClass::Texture, &names.textures},
        {&reflection.separateSamplers, RegisterClass::Sampler, &names.samplers}};
    for (const Source& source : sources) {
        for (const Reflection::Resource& resource : *source.resources) {
            Register reg = registerOf(resource.binding);
            if (reg.kind != source.kind) {
                error = "resource " + resource.name + " is in the wrong register class";
                return false;
            }
            (*source.target)[resource.name] = reg.index;
        }
    }
    return true;
}

// Splits SPIRV_Cross_Combined<texture><sampler> into its texture and sampler registers.
bool combinedBinding(const std::string& uniform, const Names& names, ShaderBinding& binding,
                     std::string& error) {
    std::string rest = uniform.substr(std::string(combinedPrefix).size());
    int matches = 0;
    for (const auto& texture : names.textures) {
        if (!startsWith(rest, texture.first)) {
            continue;
        }
        std::string sampler = rest.substr(texture.first.size());
        auto found = names.samplers.find(sampler);
        if (sampler == dummySampler || found != names.samplers.end()) {
            binding = {BindingKind::SampledTexture, uniform, texture.second,
                       sampler == dummySampler ? noSampler : found->second, ""};
            ++matches;
        }
    }
    if (matches != 1) {
        error = "cannot tell texture and sampler apart in " + uniform;
        return false;
    }
    return true;
}

// Removes "binding = N" from a layout qualifier list, or replaces the image format
// qualifier by `formatMacro` when given.
std::string rewriteLayout(const std::string& line, const std::string& formatMacro,
                          std::string& format) {
    size_t open = line.find('(');
    size_t close = line.find(')');
    std::vector<std::string> kept;
    std::stringstream qualifiers(line.substr(open + 1, close - open - 1));
    std::string item;
    while (std::getline(qualifiers, item, ',')) {
        size_t first = item.find_first_not_of(' ');
        size_t last = item.find_last_not_of(' ');
        item = first == std::string::npos ? "" : item.substr(first, last - first + 1);
        if (startsWith(item, "binding")) {
            continue;
        }
        if (!formatMacro.empty() && item.find('=') == std::string::npos) {
            format = item;
            item = formatMacro;
        }
        kept.push_back(item);
    }
    std::string joined;
    for (const std::string& k : kept) {
        joined += (joined.empty() ? "" : ", ") + k;
    }
    std::string rest = line.substr(close + 1);
    return joined.empty() ? rest.substr(rest.find_first_not_of(' '))
                          : "layout(" + joined + ")" + rest;
}

bool resourceDeclaration(const std::string& line, size_t bindingIndex, ShaderBinding& binding,
                         std::string& rewritten, std::string& error) {
    size_t at = line.find("binding = ");
    unsigned number = static_cast<unsigned>(std::stoul(line.substr(at + 10)));
    Register reg = registerOf(number);
    std::string declaration = line.substr(line.find(')') + 1);
    std::vector<std::string> list = words(declaration);
    bool isStorage = !wordAfter(list, "buffer").empty();
    bool isImage = false;
    for (const std::string& word : list) {
        isImage = isImage || startsWith(word, "image") || startsWith(word, "uimage") ||
                  startsWith(word, "iimage");
    }
    std::string format;
    if (isStorage && (reg.kind == RegisterClass::Texture || reg.kind == RegisterClass::Uav)) {
        BindingKind kind = reg.kind == RegisterClass::Texture ? BindingKind::StructuredBuffer
                                                              : BindingKind::RWStructuredBuffer;
        binding = {kind, wordAfter(list, "buffer"), reg.index, noSampler, ""};
        rewritten = rewriteLayout(line, "", format);
    } else if (isImage && reg.kind == RegisterClass::Uav) {
        rewritten = rewriteLayout(line, quavel::d3d11::imageFormatMacro(bindingIndex), format);
        binding = {BindingKind::RWTexture, list.back(), reg.index, noSampler, format};
    } else if (!isStorage && !isImage && reg.kind == RegisterClass::ConstantBuffer &&
               !wordAfter(list, "uniform").empty()) {
        binding = {BindingKind::ConstantBuffer, wordAfter(list, "uniform"), reg.index, noSampler,
                   ""};
        rewritten = rewriteLayout(line, "", format);
    } else {
        error = "unsupported resource declaration: " + line;
        return false;
    }
    return true;
}

} // namespace

bool buildShaderBlock(ShaderStage stage, const std::string& glsl, const Reflection& reflection,
                      ShaderBlock& block, std::string& error) {
    Names names;
    if (!readReflection(reflection, names, error)) {
        return false;
    }
    block = ShaderBlock{stage, {}, ""};
    std::stringstream lines(glsl);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> list = words(line);
        if (startsWith(line, "layout(") && line.find("binding = ") != std::string::npos) {
            ShaderBinding binding;
            std::string rewritten;
            if (!resourceDeclaration(line, block.bindings.size(), binding, rewritten, error)) {
                return false;
            }
            block.bindings.push_back(binding);
            line = rewritten;
        } else if (startsWith(line, "uniform ") && list.size() >= 3 &&
                   list[1].find("sampler") != std::string::npos) {
            if (!startsWith(list[2], combinedPrefix)) {
                error = "sampler uniform without a register: " + line;
                return false;
            }
            ShaderBinding binding;
            if (!combinedBinding(list[2], names, binding, error)) {
                return false;
            }
            block.bindings.push_back(binding);
        }
        block.glsl += line + "\n";
    }
    if (!startsWith(block.glsl, "#version ")) {
        error = "GLSL text does not start with #version";
        return false;
    }
    return true;
}

} // namespace shaderpack
