// picture-logo: draws the logo, its glass layers, its masks and the heart overlay.

#include "assets_command_line.h"
#include "cli/command_line.h"
#include "files/output_file.h"
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
    "show) and heartImage.png (the beat overlay). The output is the same on every run.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

constexpr const char* kTool = "picture-logo";
constexpr const char* kPictures[] = {"logoTex.png",  "logoTex2.png",     "logoTex3.png",
                                     "logoTex4.png", "glowstuffmap.png", "heartImage.png"};

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

} // namespace

int main(int argc, char** argv) {
    std::string assets, fontPath;
    cli::Parser parser;
    if (std::optional<int> code =
            parseAssetsCommandLine(parser, argc, argv, kTool, usage, &assets, &fontPath)) {
        return *code;
    }
    const std::string dir = assets + "/";
    std::string error;
    for (const char* picture : kPictures) {
        if (!files::checkOutput(dir + picture, {fontPath}, &error)) {
            return fail(error);
        }
    }
    Font font;
    if (!font.load(fontPath, error)) {
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
    return ok ? cli::kExitOk : fail(error);
}
