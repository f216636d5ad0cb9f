// The picture tools, message-encoder and screen-preview as a user runs them: every refusal is
// one line with the agreed exit code, before any work or output.

#include "tool_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace tooltest;

namespace {

const std::string kAssets = QUAVEL_ASSET_DIR;

struct Case {
    const char* tool;
    std::string arguments;
    int status;
    const char* reason;
};

ToolRun runIn(const ScratchFolder& folder, const std::string& tool, const std::string& args) {
    return runTool("cd " + quoted(folder.path("")) + " && " + quoted(tool) + " " + args);
}

// A TrueType table directory with the tables a font needs, all of them 1 GiB past the end of
// the file: a renderer that trusted it would read far outside the bytes.
std::string fontWithTablesOutside() {
    auto big16 = [](unsigned v) { return std::string{char(v >> 8), char(v)}; };
    auto big32 = [&](unsigned v) { return big16(v >> 16) + big16(v & 0xFFFF); };
    const char* tags[] = {"cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp"};
    std::string bytes = big32(0x00010000) + big16(std::size(tags)) + std::string(6, '\0');
    for (const char* tag : tags) {
        bytes += std::string(tag) + big32(0) + big32(1u << 30) + big32(64);
    }
    return bytes + std::string(64, '\0');
}

TEST(PictureTools, RefuseBadRequestsWithOneLineAndTheAgreedExitCode) {
    ScratchFolder f;
    writeText(f.path("t.txt"), "HELLO\n");
    writeText(f.path("far.txt"), "HI\n@-99999999\nYO\n");
    writeText(f.path("nan.txt"), "HI\n@nan\nYO\n");
    writeText(f.path("bad.codes"), std::string("\x01\0\0\0\x62\0\0\0", 8));
    writeText(f.path("fake.ttf"), fontWithTablesOutside());
    mkdir(f.path("dir").c_str(), 0700);
    // The show's pictures, copied: a tool that wrote over its input would spoil only the copy.
    mkdir(f.path("copy").c_str(), 0700);
    for (const auto& entry : std::filesystem::directory_iterator(kAssets)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".png" || ext == ".codes") {
            std::filesystem::copy_file(entry.path(),
                                       f.path("copy/" + entry.path().filename().string()));
        }
    }
    const std::string a = quoted(kAssets);
    const Case cases[] = {
        {MESSAGE_ENCODER_TOOL, "--length 1e12 --input t.txt --output o.codes", 2,
         "--length: '1e12' is outside the range from 1 to 1048576"},
        {MESSAGE_ENCODER_TOOL, "--length=2.5 --input t.txt --output o.codes", 2,
         "--length: '2.5' is not a whole number"},
        {MESSAGE_ENCODER_TOOL, "--decode bad.codes --at nan", 2, "--at: 'nan' is not a number"},
        {MESSAGE_ENCODER_TOOL, "--decode bad.codes --output o.codes", 2,
         "--output does not go with --decode"},
        {MESSAGE_ENCODER_TOOL, "--input t.txt", 2, "--input and --output are required"},
        {MESSAGE_ENCODER_TOOL, "--decode t.txt", 1,
         "'t.txt' is not a codes file: 6 bytes are not a whole number"},
        {MESSAGE_ENCODER_TOOL, "--decode bad.codes", 1,
         "not a codes file: the value at byte 4 (98) is not a glyph code 0..97"},
        {MESSAGE_ENCODER_TOOL, "--input t.txt --output t.txt", 1, "'t.txt' is the input file"},
        {MESSAGE_ENCODER_TOOL, "--input far.txt --output o.codes", 1,
         "'far.txt', line 2: the anchor '@-99999999' needs"},
        {MESSAGE_ENCODER_TOOL, "--input nan.txt --output o.codes", 1,
         "line 2: '@nan' is not a Scroll1pos position"},
        {MESSAGE_ENCODER_TOOL, "--input dir --output o.codes", 1, "'dir' is a directory"},
        {MESSAGE_ENCODER_TOOL, "--font t.txt --input t.txt --output o.codes", 1,
         "'t.txt' is not a TrueType font"},
        {PICTURE_LOGO_TOOL, "--font fake.ttf --assets .", 1, "'fake.ttf' is not a TrueType font"},
        {PICTURE_LOGO_TOOL, "--assets missing", 1, "No such file or directory"},
        {PICTURE_LOGO_TOOL, "--assets . extra", 2, "unexpected argument 'extra'"},
        {PICTURE_CREDITS_TOOL, "--font dir --assets .", 1, "'dir' is a directory"},
        {PICTURE_ICON_TOOL, "", 2, "no output file given"},
        {PICTURE_ICON_TOOL, "--output dir", 1, "'dir' is a directory"},
        {PICTURE_ATLAS_TOOL, "--font", 2, "--font needs a value"},
        {PICTURE_ATLAS_TOOL, "", 2, "no output folder given"},
        {SCREEN_PREVIEW_TOOL, "--scroll nan --assets " + a + " --output x.png", 2,
         "--scroll: 'nan' is not a number"},
        {SCREEN_PREVIEW_TOOL, "--assets " + a + " --output x.jpg", 2,
         "'x.jpg': only PNG is written"},
        {SCREEN_PREVIEW_TOOL, "--broken 2 --assets " + a + " --output x.png", 2,
         "--broken: '2' is outside the range from 0 to 1"},
        {SCREEN_PREVIEW_TOOL, "--assets " + a + " --output dir", 1, "'dir' is a directory"},
        {SCREEN_PREVIEW_TOOL, "--assets dir --output x.png", 1, "cannot decode 'dir/"},
        {CONTACT_SHEET_TOOL, "--assets " + a + " --output sheet.JPEG", 2,
         "'sheet.JPEG': only PNG is written"},
        {CONTACT_SHEET_TOOL, "--assets copy --output copy/logoTex.png", 1, "is the input file"},
        {SCREEN_PREVIEW_TOOL, "--assets copy --output copy/CredsImage.png", 1, "is the input file"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runIn(f, c.tool, c.arguments);
        const std::string name = std::string(c.tool).substr(std::string(c.tool).rfind('/') + 1);
        SCOPED_TRACE(name + " " + c.arguments + "\n" + run.output);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.reason), std::string::npos);
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1);
        EXPECT_EQ(run.output.rfind(name + ": ", 0), 0u);
    }
    EXPECT_EQ(f.entries(), (std::vector<std::string>{"bad.codes", "copy", "dir", "fake.ttf",
                                                     "far.txt", "nan.txt", "t.txt"}));
    EXPECT_TRUE(readText(f.path("copy/logoTex.png")) == readText(kAssets + "/logoTex.png"));
    EXPECT_TRUE(readText(f.path("copy/CredsImage.png")) == readText(kAssets + "/CredsImage.png"));
    for (const char* tool :
         {MESSAGE_ENCODER_TOOL, PICTURE_LOGO_TOOL, PICTURE_CREDITS_TOOL, PICTURE_ICON_TOOL,
          PICTURE_ATLAS_TOOL, SCREEN_PREVIEW_TOOL, CONTACT_SHEET_TOOL}) {
        EXPECT_EQ(runIn(f, tool, "--help").status, 0) << tool;
        EXPECT_EQ(runIn(f, tool, "-h --bogus").status, 0) << tool;
        EXPECT_EQ(runIn(f, tool, "--bogus").status, 2) << tool;
    }
}

// The committed codes come out on standard output for the committed text, "=" spelling and all.
TEST(PictureTools, EncoderWritesToStandardOutput) {
    ScratchFolder f;
    const ToolRun run = runIn(f, MESSAGE_ENCODER_TOOL,
                              "--input=" + quoted(kAssets + "/scroll_message.txt") + " --output=-");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.output == readText(kAssets + "/scroll_message.codes"));
    EXPECT_TRUE(f.entries().empty());
}

} // namespace
