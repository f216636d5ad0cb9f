// The web build's shader step as the build runs it: shaderpack spirv, naga under Node,
// shaderpack wgsl-block, for every program the show links. What the web Direct3D layer
// relies on: naga accepts each module, the block carries the WGSL and the table, and every
// table record names the binding the WGSL declares, of the right kind, for the register the
// HLSL declares.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <tuple>

#include "platform/hlsl_program.h"
#include "platform/web/d3d11/wgsl_block.h"
#include "tool_run.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;
extern const shaderpack::HlslProgramList quavel_engine_shaders_programs;

namespace {

using quavel::web::WgslBinding;
using quavel::web::WgslBindingKind;
using quavel::web::WgslBlock;
using tooltest::quoted;

// The bytes of the array a shaderpack C++ source defines.
std::vector<uint8_t> sourceBytes(const std::string& source) {
    std::vector<uint8_t> bytes;
    const std::string body = source.substr(source.find("[] = {"));
    const std::regex hex("0x([0-9a-f]{2}),");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), hex);
         it != std::sregex_iterator(); ++it) {
        bytes.push_back(static_cast<uint8_t>(std::stoul((*it)[1].str(), nullptr, 16)));
    }
    return bytes;
}

// The WGSL's resource declarations: (group, binding) -> the kind its type says.
std::map<std::pair<uint32_t, uint32_t>, WgslBindingKind> wgslResources(const std::string& wgsl) {
    struct TypeRule {
        std::regex pattern;
        WgslBindingKind kind;
    };
    static const TypeRule rules[] = {
        {std::regex(R"(^var\s+\w+\s*:\s*texture_2d<f32>)"), WgslBindingKind::Texture},
        {std::regex(R"(^var\s+\w+\s*:\s*sampler\b)"), WgslBindingKind::Sampler},
        {std::regex(R"(^var<uniform>)"), WgslBindingKind::ConstantBuffer},
        {std::regex(R"(^var<storage>|^var<storage,\s*read>)"), WgslBindingKind::StructuredBuffer},
        {std::regex(R"(^var<storage,\s*read_write>)"), WgslBindingKind::RWStructuredBuffer}};
    std::map<std::pair<uint32_t, uint32_t>, WgslBindingKind> found;
    const std::regex declaration(R"(@group\((\d+)\)\s*@binding\((\d+)\)\s*\n?\s*([^;]*);)");
    for (auto it = std::sregex_iterator(wgsl.begin(), wgsl.end(), declaration);
         it != std::sregex_iterator(); ++it) {
        const std::string variable = (*it)[3].str();
        const auto key = std::make_pair(std::stoul((*it)[1].str()), std::stoul((*it)[2].str()));
        for (const TypeRule& rule : rules) {
            if (std::regex_search(variable, rule.pattern)) {
                found.emplace(key, rule.kind);
            }
        }
        EXPECT_EQ(1u, found.count(key)) << "unrecognised resource: " << variable;
    }
    return found;
}

// Registers the HLSL declares (in the program and the files beside it), as "t3", "b8", ...
std::set<std::string> hlslRegisters(const std::string& path) {
    const std::string folder = path.substr(0, path.find_last_of('/'));
    std::string text = tooltest::readText(path);
    const std::regex include(R"re(#include\s+"([^"]+)")re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), include);
         it != std::sregex_iterator(); ++it) {
        text += tooltest::readText(folder + "/" + (*it)[1].str());
    }
    std::set<std::string> registers;
    const std::regex reg(R"(register\s*\(\s*([tsbu]\d+)\s*\))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), reg);
         it != std::sregex_iterator(); ++it) {
        registers.insert((*it)[1].str());
    }
    return registers;
}

std::string registerName(const WgslBinding& binding) {
    static const std::map<WgslBindingKind, char> letters = {
        {WgslBindingKind::Texture, 't'},
        {WgslBindingKind::Sampler, 's'},
        {WgslBindingKind::ConstantBuffer, 'b'},
        {WgslBindingKind::StructuredBuffer, 't'},
        {WgslBindingKind::RWStructuredBuffer, 'u'}};
    return letters.at(binding.kind) + std::to_string(binding.registerIndex);
}

TEST(WgslStep, EveryProgramBecomesAWgslBlockWhoseTableMatchesItsDeclarations) {
    tooltest::ScratchFolder scratch;
    size_t programs = 0;
    for (const shaderpack::HlslProgramList* list :
         {&quavel_demo_shaders_programs, &quavel_engine_shaders_programs}) {
        for (const shaderpack::HlslProgram& program : *list) {
            SCOPED_TRACE(program.name);
            std::string includes;
            for (const char* const* dir = program.includeDirs; *dir != nullptr; ++dir) {
                includes += " --include " + quoted(*dir);
            }
            const std::string base = scratch.path(program.name);
            const tooltest::ToolRun run = tooltest::runTool(
                quoted(SHADERPACK_TOOL) + " spirv --stage " + program.stage + " --entry " +
                program.entry + " --source " + quoted(program.path) + includes + " --output " +
                quoted(base + ".spv") + " --table " + quoted(base + ".table") + " && node " +
                quoted(SPIRV_TO_WGSL) + " " + quoted(base + ".spv") + " " + quoted(base + ".wgsl") +
                " && " + quoted(SHADERPACK_TOOL) + " wgsl-block --table " +
                quoted(base + ".table") + " --wgsl " + quoted(base + ".wgsl") +
                " --name block --output " + quoted(base + ".cpp"));
            ASSERT_EQ(0, run.status) << run.output;

            const std::vector<uint8_t> bytes = sourceBytes(tooltest::readText(base + ".cpp"));
            WgslBlock block;
            ASSERT_TRUE(quavel::web::decodeWgslBlock(bytes.data(), bytes.size(), block));
            EXPECT_EQ(*quavel::d3d11::shaderStageNamed(program.stage), block.stage);
            EXPECT_EQ(tooltest::readText(base + ".wgsl"), block.wgsl);

            const auto declared = wgslResources(block.wgsl);
            EXPECT_EQ(declared.size(), block.bindings.size());
            const std::set<std::string> registers = hlslRegisters(program.path);
            for (const WgslBinding& binding : block.bindings) {
                const auto found = declared.find({binding.group, binding.binding});
                ASSERT_NE(declared.end(), found)
                    << "no WGSL resource at binding " << binding.binding;
                EXPECT_EQ(binding.kind, found->second) << "binding " << binding.binding;
                EXPECT_EQ(1u, registers.count(registerName(binding)))
                    << registerName(binding) << " is not declared in the HLSL";
            }
            ++programs;
        }
    }
    EXPECT_EQ(24u, programs);
}

// Records whose group, binding and register disagree would bind one resource in another's
// place; the decoder refuses them, and anything cut short or overlong.
TEST(WgslStep, TheBlockDecoderRefusesWhatTheLayerCouldMisbind) {
    using quavel::d3d11::ShaderStage;
    const WgslBlock good{ShaderStage::Pixel,
                         {{WgslBindingKind::Texture, 1, 3, 3},
                          {WgslBindingKind::Sampler, 1, 203, 3},
                          {WgslBindingKind::ConstantBuffer, 1, 308, 8}},
                         "@fragment fn pixel_main() {}"};
    const std::vector<uint8_t> goodBytes = quavel::web::encodeWgslBlock(good);
    WgslBlock decoded;
    ASSERT_TRUE(quavel::web::decodeWgslBlock(goodBytes.data(), goodBytes.size(), decoded));
    EXPECT_EQ(good.bindings, decoded.bindings);
    EXPECT_EQ(good.wgsl, decoded.wgsl);
    EXPECT_EQ(good.stage, decoded.stage);

    struct Case {
        const char* what;
        WgslBinding binding;
        ShaderStage stage;
    };
    const Case cases[] = {
        {"pixel resource in the vertex group",
         {WgslBindingKind::Texture, 0, 3, 3},
         ShaderStage::Pixel},
        {"vertex resource in the pixel group",
         {WgslBindingKind::Texture, 1, 3, 3},
         ShaderStage::Vertex},
        {"sampler at a texture binding", {WgslBindingKind::Sampler, 1, 3, 3}, ShaderStage::Pixel},
        {"binding not base plus register",
         {WgslBindingKind::ConstantBuffer, 0, 300, 8},
         ShaderStage::Compute},
        {"register past the class",
         {WgslBindingKind::ConstantBuffer, 0, 314, 14},
         ShaderStage::Compute},
        {"unordered access at a texture binding",
         {WgslBindingKind::RWStructuredBuffer, 0, 1, 1},
         ShaderStage::Compute},
        {"unknown kind", {static_cast<WgslBindingKind>(9), 0, 1, 1}, ShaderStage::Compute},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes =
            quavel::web::encodeWgslBlock({c.stage, {c.binding}, "x"});
        EXPECT_FALSE(quavel::web::decodeWgslBlock(bytes.data(), bytes.size(), decoded)) << c.what;
    }
    std::vector<uint8_t> cut(goodBytes.begin(), goodBytes.end() - 1);
    std::vector<uint8_t> longer = goodBytes;
    longer.push_back(0);
    std::vector<uint8_t> badStage = goodBytes;
    badStage[8] = 3;
    for (const auto& bytes : {cut, longer, badStage}) {
        EXPECT_FALSE(quavel::web::decodeWgslBlock(bytes.data(), bytes.size(), decoded));
    }
}

} // namespace
