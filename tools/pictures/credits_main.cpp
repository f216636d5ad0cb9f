// picture-credits: draws the credits strip CredsImage.png.

#include "assets_command_line.h"
#include "cli/command_line.h"
#include "credits_art.h"
#include "files/output_file.h"
#include "picture_output.h"

#include <cstdio>

using namespace pictures;

namespace {

const char* usage =
    "usage: picture-credits --assets DIR [--text TEXT] [--font FILE]\n"
    "Draws CredsImage.png (1196 x 68, 4-bit palette) into DIR: the credit roles and the\n"
    "project's name in pixel lettering, one character per waved 13-pixel column (at most 23).\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

constexpr const char* kTool = "picture-credits";

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

} // namespace

int main(int argc, char** argv) {
    std::string assets, text = creditsText, fontPath;
    cli::Parser parser;
    parser.text("--text", &text);
    if (std::optional<int> code =
            parseAssetsCommandLine(parser, argc, argv, kTool, usage, &assets, &fontPath)) {
        return *code;
    }
    const std::string output = assets + "/CredsImage.png";
    std::string error;
    Font font;
    Canvas strip;
    if (!files::checkOutput(output, {fontPath}, &error) || !font.load(fontPath, error) ||
        !drawCredits(font, text, strip, error) || !writeIndexed(output, strip, 16, error)) {
        return fail(error);
    }
    return cli::kExitOk;
}
