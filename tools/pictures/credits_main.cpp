// picture-credits: draws the credits strip CredsImage.png.

#include "command_line.h"
#include "credits_art.h"
#include "picture_output.h"

#include <cstdio>

using namespace pictures;

namespace {

const char* usage =
    "usage: picture-credits --assets DIR [--text TEXT] [--font FILE]\n"
    "Draws CredsImage.png (1196 x 68, 4-bit palette) into DIR: the credit roles and the\n"
    "project's name in pixel lettering, one character per waved 13-pixel column (at most 23).\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "picture-credits: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl = parseCommandLine(argc, argv, {"--assets", "--text", "--font"});
    if (cl.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!cl.error.empty()) {
        return fail(cl.error);
    }
    if (!cl.has("assets")) {
        return fail("no output folder given (--assets DIR)");
    }
    std::string error;
    Font font;
    if (!font.load(cl.get("font", defaultFontPath()), error)) {
        return fail(error);
    }
    Canvas strip;
    if (!drawCredits(font, cl.get("text", creditsText), strip, error) ||
        !writeIndexed(cl.get("assets") + "/CredsImage.png", strip, 16, error)) {
        return fail(error);
    }
    return 0;
}
