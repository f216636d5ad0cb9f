// The compiled-shader block format and the packer that makes blocks from spirv-cross output.
#include <gtest/gtest.h>

#include "glsl_bindings.h"
#include "platform/linux/d3d11/shader_block.h"

namespace {

using namespace quavel::d3d11;

ShaderBlock sampleBlock() {
    ShaderBlock block;
    block.stage = ShaderStage::Compute;
    block.bindings = {
        {BindingKind::SampledTexture, "SPIRV_Cross_CombinedtexsmpClamp", 12, 3, ""},
        {BindingKind::SampledTexture, "SPIRV_Cross_CombinedtexSPIRV_Cross_DummySampler", 12,
         noSampler, ""},
        {BindingKind::ConstantBuffer, "ContextBuffer", 8, noSampler, ""},
        {BindingKind::StructuredBuffer, "particles", 1, noSampler, ""},
        {BindingKind::RWStructuredBuffer, "next", 7, noSampler, ""},
        {BindingKind::RWTexture, "image", 2, noSampler, "rgba16f"},
    };
    block.glsl = "#version 450\nvoid main() {}\n";
    return block;
}

TEST(ShaderBlock, EncodedBlocksDecodeToTheSameContents) {
    ShaderBlock block = sampleBlock();
    std::vector<uint8_t> bytes = encodeShaderBlock(block);
    ShaderBlock decoded;
    ASSERT_TRUE(decodeShaderBlock(bytes.data(), bytes.size(), decoded));
    EXPECT_EQ(block.stage, decoded.stage);
    EXPECT_EQ(block.glsl, decoded.glsl);
    ASSERT_EQ(block.bindings.size(), decoded.bindings.size());
    for (size_t i = 0; i < block.bindings.size(); ++i) {
        EXPECT_EQ(block.bindings[i].kind, decoded.bindings[i].kind);
        EXPECT_EQ(block.bindings[i].name, decoded.bindings[i].name);
        EXPECT_EQ(block.bindings[i].registerIndex, decoded.bindings[i].registerIndex);
        EXPECT_EQ(block.bindings[i].samplerRegister, decoded.bindings[i].samplerRegister);
        EXPECT_EQ(block.bindings[i].format, decoded.bindings[i].format);
    }
}

TEST(ShaderBlock, TruncatedExtendedOrAlteredBlocksAreRefused) {
    std::vector<uint8_t> bytes = encodeShaderBlock(sampleBlock());
    ShaderBlock decoded;
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(decodeShaderBlock(bytes.data(), size, decoded)) << "cut to " << size;
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(decodeShaderBlock(longer.data(), longer.size(), decoded));
    EXPECT_FALSE(decodeShaderBlock(nullptr, bytes.size(), decoded));

    struct Change {
        const char* what;
        size_t offset;
        uint8_t value;
    };
    const Change changes[] = {
        {"magic", 0, 'X'},
        {"version", 4, 2},
        {"stage", 8, 3},
        {"binding count beyond the data", 13, 0x7f},
        {"binding kind", 20, 0},
        {"binding kind past the last", 20, 6},
        {"texture register", 24, 128},
        {"sampler register", 28, 16},
        {"name character", 36, '-'},
    };
    for (const Change& change : changes) {
        std::vector<uint8_t> altered = bytes;
        altered[change.offset] = change.value;
        EXPECT_FALSE(decodeShaderBlock(altered.data(), altered.size(), decoded)) << change.what;
    }
}

TEST(ShaderBlock, RegistersBeyondShaderModelFiveAndMissingPartsAreRefused) {
    struct Case {
        const char* what;
        ShaderBinding binding;
    };
    const Case cases[] = {
        {"b14", {BindingKind::ConstantBuffer, "cb", 14, noSampler, ""}},
        {"u8 buffer", {BindingKind::RWStructuredBuffer, "rw", 8, noSampler, ""}},
        {"u8 image", {BindingKind::RWTexture, "img", 8, noSampler, "rgba32f"}},
        {"t128 buffer", {BindingKind::StructuredBuffer, "sb", 128, noSampler, ""}},
        {"image without format", {BindingKind::RWTexture, "img", 0, noSampler, ""}},
        {"empty name", {BindingKind::StructuredBuffer, "", 0, noSampler, ""}},
        {"name starting with a digit", {BindingKind::StructuredBuffer, "1st", 0, noSampler, ""}},
    };
    for (const Case& c : cases) {
        ShaderBlock block = sampleBlock();
        block.bindings = {c.binding};
        std::vector<uint8_t> bytes = encodeShaderBlock(block);
        ShaderBlock decoded;
        EXPECT_FALSE(decodeShaderBlock(bytes.data(), bytes.size(), decoded)) << c.what;
    }
    ShaderBlock noVersion = sampleBlock();
    noVersion.glsl = "void main() {}\n";
    std::vector<uint8_t> bytes = encodeShaderBlock(noVersion);
    ShaderBlock decoded;
    EXPECT_FALSE(decodeShaderBlock(bytes.data(), bytes.size(), decoded)) << "text without #version";
}

// Shaped like spirv-cross output for a pixel program with t1, t12, s0, s3, b8, a structured
// buffer at t2 and, for the packer's sake, storage at u0 and u1.
const char* const sampleGlsl = R"(#version 450

layout(binding = 2, std430) readonly buffer elems
{
    float _data[];
} elems_1;

layout(binding = 400, std430) buffer results
{
    float _data[];
} results_1;

layout(binding = 308, std140) uniform ContextBuffer
{
    float time;
} _42;

layout(binding = 401, rgba16f) uniform writeonly image2D picture;
uniform sampler2D SPIRV_Cross_Combinedt12smpClamp;
uniform sampler2D SPIRV_Cross_Combinedt1smpNearest;
uniform sampler2D SPIRV_Cross_Combinedt1SPIRV_Cross_DummySampler;

void main()
{
}
)";

const shaderpack::Reflection sampleReflection = {
    {{"t1", 1}, {"t12", 12}}, {{"smpClamp", 200}, {"smpNearest", 203}}, 0};

TEST(ShaderPack, SpirvCrossOutputBecomesABlockWithRegistersAndNoBindingNumbers) {
    ShaderBlock block;
    std::string error;
    ASSERT_TRUE(shaderpack::buildShaderBlock(ShaderStage::Pixel, sampleGlsl, sampleReflection,
                                             block, error))
        << error;
    EXPECT_EQ(ShaderStage::Pixel, block.stage);
    struct Expected {
        BindingKind kind;
        const char* name;
        uint32_t registerIndex;
        uint32_t sampler;
    };
    const Expected expected[] = {
        {BindingKind::StructuredBuffer, "elems", 2, noSampler},
        {BindingKind::RWStructuredBuffer, "results", 0, noSampler},
        {BindingKind::ConstantBuffer, "ContextBuffer", 8, noSampler},
        {BindingKind::RWTexture, "picture", 1, noSampler},
        {BindingKind::SampledTexture, "SPIRV_Cross_Combinedt12smpClamp", 12, 0},
        {BindingKind::SampledTexture, "SPIRV_Cross_Combinedt1smpNearest", 1, 3},
        {BindingKind::SampledTexture, "SPIRV_Cross_Combinedt1SPIRV_Cross_DummySampler", 1,
         noSampler},
    };
    ASSERT_EQ(std::size(expected), block.bindings.size());
    for (size_t i = 0; i < block.bindings.size(); ++i) {
        EXPECT_EQ(expected[i].kind, block.bindings[i].kind) << i;
        EXPECT_EQ(expected[i].name, block.bindings[i].name) << i;
        EXPECT_EQ(expected[i].registerIndex, block.bindings[i].registerIndex) << i;
        EXPECT_EQ(expected[i].sampler, block.bindings[i].samplerRegister) << i;
    }
    EXPECT_EQ("rgba16f", block.bindings[3].format);
    EXPECT_EQ(std::string::npos, block.glsl.find("binding"));
    EXPECT_NE(std::string::npos, block.glsl.find("layout(std430) readonly buffer elems"));
    EXPECT_NE(std::string::npos, block.glsl.find("layout(std140) uniform ContextBuffer"));
    EXPECT_NE(std::string::npos, block.glsl.find("layout(" + imageFormatMacro(3) +
                                                 ") uniform writeonly image2D picture;"));
    // The packed block passes the device's own check.
    std::vector<uint8_t> bytes = encodeShaderBlock(block);
    ShaderBlock decoded;
    EXPECT_TRUE(decodeShaderBlock(bytes.data(), bytes.size(), decoded));
}

TEST(ShaderPack, ResourcesTheBlockCannotDescribeStopThePacker) {
    struct Case {
        const char* what;
        std::string glsl;
        shaderpack::Reflection reflection;
    };
    const std::string head = "#version 450\n";
    const Case cases[] = {
        {"binding outside the register classes",
         head + "layout(binding = 550, std430) buffer odd\n{\n    float _data[];\n} odd_1;\n",
         {}},
        {"uniform buffer in the texture class",
         head + "layout(binding = 3, std140) uniform Odd\n{\n    float x;\n} _1;\n",
         {}},
        {"sampler without a combined name", head + "uniform sampler2D lonely;\n", {}},
        {"combined sampler of an unknown texture",
         head + "uniform sampler2D SPIRV_Cross_CombinedghostsmpClamp;\n",
         {{}, {{"smpClamp", 200}}, 0}},
        {"combined texture-sampler in the module", head, {{}, {}, 1}},
        {"sampler reflected in the texture class", head, {{}, {{"smp", 4}}, 0}},
        {"text without a version", "void main() {}\n", {}},
    };
    for (const Case& c : cases) {
        ShaderBlock block;
        std::string error;
        EXPECT_FALSE(
            shaderpack::buildShaderBlock(ShaderStage::Pixel, c.glsl, c.reflection, block, error))
            << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

} // namespace
