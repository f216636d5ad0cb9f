// picture-logo: draws the logo, its glass layers, its masks and the heart overlay.

#include "command_line.h"
#include "logo_art.h"
#include "picture_output.h"

#include <cstdio>

using namespace pictures;

namespace {

const char* usage =
    "usage: picture-logo --assets DIR [--font FILE]\n"
    "Draws the 764 x 348 overlay pictures into DIR: logoTex.png (the quavel1 logo),\n"
    "logoTex2.png and logoTex3.png (its glass plate, whole and shattered), logoTex4.png (where\n"
    "the raster bars show through the letters), glowstuffmap.png (where the star glow may\n"
    "show) and heartImage.png (the beat overlay). The output is the same on every run.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "picture-logo: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl = parseCommandLine(argc, argv, {"--assets", "--font"});
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
    const std::string dir = cl.get("assets") + "/";
    std::string error;
    Font font;
    if (!font.load(cl.get("font", defaultFontPath()), error)) {
        return fail(error);
    }
    LogoShape shape = buildLogoShape(font);
    Canvas logo = drawLogo(shape);
    bool ok = writeIndexed(dir + "logoTex.png", logo, 256, error) &&
              writeIndexed(dir + "logoTex2.png", drawGlass(shape, logo, false), 16, error) &&
              writeIndexed(dir + "logoTex3.png", drawGlass(shape, logo, true), 16, error) &&
              writeMaskGrey(dir + "logoTex4.png", rasterMask(shape), error) &&
              writeMaskIndexed(dir + "glowstuffmap.png", glowMask(), error) &&
              writeIndexed(dir + "heartImage.png", drawHeart(), 16, error);
    return ok ? 0 : fail(error);
}
