// picture-icon: draws the program icon (resource 101 of quavel1.exe).

#include "command_line.h"
#include "icon_art.h"
#include "png_writer.h"

#include <cstdio>
#include <fstream>

using namespace pictures;

namespace {

const char* usage =
    "usage: picture-icon --output FILE.ico [--preview FILE.png]\n"
    "Draws the program icon, the show's pyramid dithered into its eight-colour palette, at\n"
    "48 x 48 and 32 x 32 pixels into one Windows icon file. --preview also writes the 48 x 48\n"
    "picture over black as a PNG. The output is the same on every run.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "picture-icon: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl = parseCommandLine(argc, argv, {"--output", "--preview"});
    if (cl.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!cl.error.empty())
        return fail(cl.error);
    if (!cl.has("output"))
        return fail("no output file given (--output FILE.ico)");
    const Canvas large = drawIcon(48), small = drawIcon(32);
    const std::vector<std::uint8_t> ico = encodeIco({large, small});
    std::ofstream out(cl.get("output"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
    if (!out)
        return fail("cannot write " + cl.get("output"));
    if (cl.has("preview")) {
        std::vector<std::uint8_t> rgb;
        for (const Rgba& p : large.cells())
            for (float v : {p.r * p.a, p.g * p.a, p.b * p.a})
                rgb.push_back(toByte(v));
        std::string error;
        if (!writeRgbPng(cl.get("preview"), 48, 48, rgb, error))
            return fail(error);
    }
    return 0;
}
