#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "demo/show_assets.h"
#include "platform/hlsl_program.h"
#include "shader_compiler.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;
extern const shaderpack::HlslProgramList quavel_engine_shaders_programs;

namespace {

using quavel::d3d11::ShaderStage;

shaderpack::HlslSource sourceOf(const shaderpack::HlslProgram& program) {
    shaderpack::HlslSource source{
        program.name,  program.path, *quavel::d3d11::shaderStageNamed(program.stage),
        program.entry, {},           std::nullopt};
    for (const char* const* dir = program.includeDirs; *dir != nullptr; ++dir) {
        source.includeDirs.push_back(*dir);
    }
    return source;
}

TEST(ShaderCompiler, EveryProgramCompiledAtRunTimeIsTheBlockTheBuildLinkedIn) {
    size_t programs = 0;
    for (const shaderpack::HlslProgramList* list :
         {&quavel_demo_shaders_programs, &quavel_engine_shaders_programs}) {
        for (const shaderpack::HlslProgram& program : *list) {
            shaderpack::CompileResult result = shaderpack::compileHlsl(sourceOf(program));
            ASSERT_TRUE(result.ok()) << result.error->text();
            std::vector<uint8_t> built(program.block, program.block + *program.blockSize);
            EXPECT_EQ(built, result.block) << program.name;
            ++programs;
        }
    }
    // Every program the show links: the demo's and the engine's final pass pair.
    EXPECT_EQ(size_t(kDemoShaderCount) + 2, programs);
}

// A file saved broken, half-written or empty names the program, the file and the line.
TEST(ShaderCompiler, ABrokenSourceIsNamedByProgramFileAndLine) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("quavel_shader_compiler_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string main = (folder / "ps_broken.hlsl").string();
    const std::string include = (folder / "broken.hlsli").string();
    struct Case {
        const char* what;
        std::string text;
        std::string includeText;
        std::string file;
        unsigned line;
    };
    const std::string body = "float4 pixel_main() : SV_Target\n{\n    return 1.0;\n}\n";
    const Case cases[] = {
        {"undeclared name", "float4 pixel_main() : SV_Target\n{\n    return tint;\n}\n", "", main,
         3},
        {"cut off mid-function", "float4 pixel_main() : SV_Target\n{\n    return", "", main, 3},
        {"fault in an include", "#include \"broken.hlsli\"\n" + body,
         "static const float a = 1.0;\nstatic const float b = ;\n", include, 2},
        {"missing include", "\n#include \"absent.hlsli\"\n" + body, "", main, 2},
        {"empty file", "", "", main, 0},
    };
    for (const Case& c : cases) {
        std::ofstream(include) << c.includeText;
        shaderpack::CompileResult result = shaderpack::compileHlsl(
            {"ps_broken", main, ShaderStage::Pixel, "pixel_main", {}, c.text});
        ASSERT_FALSE(result.ok()) << c.what;
        EXPECT_TRUE(result.block.empty()) << c.what;
        EXPECT_EQ("ps_broken", result.error->program) << c.what;
        EXPECT_EQ(c.file, result.error->file) << c.what;
        EXPECT_EQ(c.line, result.error->line) << c.what << ": " << result.error->text();
        EXPECT_FALSE(result.error->message.empty()) << c.what;
        // The web build's step puts its functions before the program, on lines of their own.
        const shaderpack::SpirvResult web = shaderpack::hlslToSpirv(
            {"ps_broken", main, ShaderStage::Pixel, "pixel_main", {}, c.text}, true, true);
        ASSERT_TRUE(web.error) << c.what;
        EXPECT_EQ(c.file, web.error->file) << c.what;
        EXPECT_EQ(c.line, web.error->line) << c.what << ": " << web.error->text();
    }
    std::filesystem::remove_all(folder);
}

// d3dcompiler_47's and Wine's logs, in the forms they write: the first error that names a
// place (glslang's real logs are read in the test above).
TEST(ShaderCompiler, TheFirstPlacedErrorOfD3DCompilesLog) {
    struct Case {
        std::string log;
        std::string file; // "" for the main file
        unsigned line;
        std::string message;
    };
    const Case cases[] = {
        {"C:\\s\\ps.hlsl(3,12-15): error X3004: undeclared identifier 'tint'\r\n", "C:\\s\\ps.hlsl",
         3, "X3004: undeclared identifier 'tint'"},
        {"C:\\s\\ps.hlsl(2,1): warning X3206: implicit truncation\r\n"
         "C:\\s\\io.hlsli(7,5): error X3000: syntax error: unexpected token ';'\r\n",
         "C:\\s\\io.hlsli", 7, "X3000: syntax error: unexpected token ';'"},
        {"C:\\s\\ps.hlsl(2,1): warning X3206: implicit truncation\n"
         "error X3501: 'pixel_main': entrypoint not found\n",
         "", 0, "error X3501: 'pixel_main': entrypoint not found"},
        {"Z:\\t\\ps.hlsl:3:12: E5005: Identifier \"tint\" is not declared.\n", "Z:\\t\\ps.hlsl", 3,
         "E5005: Identifier \"tint\" is not declared."},
    };
    const shaderpack::HlslSource source{"ps",         "main.hlsl", ShaderStage::Pixel,
                                        "pixel_main", {},          {}};
    for (const Case& c : cases) {
        const shaderpack::CompileError error =
            firstCompileError(shaderpack::CompilerLog::D3DCompile, source, c.log);
        EXPECT_EQ(c.file.empty() ? source.path : c.file, error.file) << c.log;
        EXPECT_EQ(c.line, error.line) << c.log;
        EXPECT_EQ(c.message, error.message) << c.log;
    }
}

} // namespace
