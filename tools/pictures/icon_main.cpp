// picture-icon: draws the program icon (resource 101 of quavel1.exe).

#include "cli/command_line.h"
#include "files/output_file.h"
#include "icon_art.h"
#include "png_writer.h"

#include <cstdio>

using namespace pictures;

namespace {

const char* usage =
    "usage: picture-icon --output FILE.ico [--preview FILE.png]\n"
    "Draws the program icon, the show's pyramid dithered into its eight-colour palette, at\n"
    "48 x 48 and 32 x 32 pixels into one Windows icon file. --preview also writes the 48 x 48\n"
    "picture over black as a PNG. The output is the same on every run.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

constexpr const char* kTool = "picture-icon";

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

} // namespace

int main(int argc, char** argv) {
    std::string output, preview;
    cli::Parser parser;
    parser.text("--output", &output);
    parser.text("--preview", &preview);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    if (std::optional<int> code = cli::earlyExit(parsed, kTool, usage)) {
        return *code;
    }
    if (output.empty()) {
        return cli::usageError(kTool, "no output file given (--output FILE.ico)");
    }
    std::string error;
    if (!files::checkOutput(output, {}, &error) ||
        (!preview.empty() && !files::checkOutput(preview, {}, &error))) {
        return fail(error);
    }
    const Canvas large = drawIcon(48), small = drawIcon(32);
    const std::vector<std::uint8_t> ico = encodeIco({large, small});
    if (!files::writeWholeFile(output, ico.data(), ico.size(), {}, &error)) {
        return fail(error);
    }
    if (!preview.empty()) {
        std::vector<std::uint8_t> rgb;
        for (const Rgba& p : large.cells())
            for (float v : {p.r * p.a, p.g * p.a, p.b * p.a})
                rgb.push_back(toByte(v));
        if (!writeRgbPng(preview, 48, 48, rgb, error))
            return fail(error);
    }
    return cli::kExitOk;
}
