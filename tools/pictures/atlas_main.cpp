// picture-atlas: renders the scroller's two letter atlases and writes the glyph tables.

#include "atlas_layout.h"
#include "command_line.h"
#include "glyph_atlas.h"
#include "png_writer.h"
#include "table_writer.h"

#include <cmath>
#include <cstdio>

using namespace pictures;

namespace {

const char* usage =
    "usage: picture-atlas [--assets DIR] [--shaders DIR] [--source DIR] [--font FILE]\n"
    "Renders the scroller font (DejaVu Sans Bold by default) into letterAtlas.png and\n"
    "letterAtlas2.png (4096 x 3318, 4-bit grey) in --assets, and writes the glyph tables as\n"
    "glyph_tables.hlsli in --shaders and glyph_table.h/.cpp in --source. At least one output\n"
    "folder is required; the output is the same byte for byte on every run.\n";

bool writeAtlas(const std::string& path, const Plane& coverage, std::string& error) {
    std::vector<std::uint8_t> levels;
    levels.reserve(coverage.cells().size());
    for (float c : coverage.cells()) {
        levels.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c) * 15.0f)));
    }
    return writeGreyPng(path, coverage.width(), coverage.height(), levels, 4, std::nullopt, error);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "picture-atlas: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl = parseCommandLine(argc, argv, {"--assets", "--shaders", "--source", "--font"});
    if (cl.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!cl.error.empty()) {
        return fail(cl.error);
    }
    if (!cl.has("assets") && !cl.has("shaders") && !cl.has("source")) {
        return fail("no output folder given (see --help)");
    }
    std::string error;
    Font font;
    if (!font.load(cl.get("font", defaultFontPath()), error)) {
        return fail(error);
    }
    GlyphLayout layout;
    if (!layoutGlyphs(font, layout, error)) {
        return fail(error);
    }
    if (cl.has("shaders") &&
        !writeTextFile(cl.get("shaders") + "/glyph_tables.hlsli", hlslGlyphTable(layout), error)) {
        return fail(error);
    }
    if (cl.has("source") &&
        (!writeTextFile(cl.get("source") + "/glyph_table.h", cppGlyphTableHeader(), error) ||
         !writeTextFile(cl.get("source") + "/glyph_table.cpp", cppGlyphTableSource(layout),
                        error))) {
        return fail(error);
    }
    if (cl.has("assets")) {
        std::array<Plane, 2> atlases = renderAtlases(font, layout);
        if (!writeAtlas(cl.get("assets") + "/letterAtlas.png", atlases[0], error) ||
            !writeAtlas(cl.get("assets") + "/letterAtlas2.png", atlases[1], error)) {
            return fail(error);
        }
    }
    return 0;
}
