// quavel1-capture --shaders DIR: the programs compiled from a copy of the show's sources give
// the frame of the plain capture byte for byte; a changed constant in a pixel program changes
// it; a broken program stops the capture with the compiler's program, file and line.
#include <gtest/gtest.h>

#include <filesystem>

#include "tool_run.h"

namespace fs = std::filesystem;
using tooltest::quoted;
using tooltest::readText;
using tooltest::runTool;

namespace {

const std::string kComposite = "ps_composite.hlsl";
// A constant of the composite that every pixel outside the pyramid goes through.
const std::string kConstant = "(1.0 - P.a) * base";

TEST(CaptureShaders, TheFolderCopyIsTheBuildTheEditChangesTheFrameABreakStops) {
    tooltest::ScratchFolder scratch;
    const std::string shaders = scratch.path("shaders");
    fs::copy(SHADER_SOURCES, shaders);
    // At 0.25 frames a second, grid frame 35 is 140 s: particles, logo and glow on screen.
    const std::string capture = std::string(QUAVEL1_CAPTURE) + " --fps 0.25 --start 140 --out ";
    auto frameOf = [&](const std::string& name, const std::string& extra) {
        const tooltest::ToolRun run = runTool(capture + quoted(scratch.path(name)) + extra);
        EXPECT_EQ(0, run.status) << run.output;
        return readText(scratch.path(name) + "/frame_000035.png");
    };
    const std::string plain = frameOf("plain", "");
    ASSERT_FALSE(plain.empty());
    // Compared as booleans: a failure does not print megabytes of PNG.
    EXPECT_TRUE(plain == frameOf("copy", " --shaders " + quoted(shaders)));

    const std::string file = shaders + "/" + kComposite;
    std::string text = readText(file);
    const size_t at = text.find(kConstant);
    ASSERT_NE(std::string::npos, at);
    text.replace(at, kConstant.size(), "(0.5 - P.a) * base");
    tooltest::writeText(file, text);
    EXPECT_FALSE(plain == frameOf("edited", " --shaders " + quoted(shaders)));

    // Line 3 of the file names a value nobody declared.
    tooltest::writeText(file, "float4 pixel_main() : SV_Target\n{\n    return tint;\n}\n");
    const tooltest::ToolRun broken =
        runTool(capture + quoted(scratch.path("broken")) + " --shaders " + quoted(shaders));
    EXPECT_EQ(1, broken.status) << broken.output;
    EXPECT_NE(std::string::npos, broken.output.find("ps_composite: " + file + ":3: "))
        << broken.output;
    EXPECT_FALSE(fs::exists(scratch.path("broken/frame_000035.png")));
}

} // namespace
