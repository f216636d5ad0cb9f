// picture-atlas: renders the scroller's two letter atlases and writes the glyph tables.

#include "atlas_layout.h"
#include "cli/command_line.h"
#include "files/output_file.h"
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
    "folder is required; the output is the same byte for byte on every run.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

constexpr const char* kTool = "picture-atlas";

bool writeAtlas(const std::string& path, const Plane& coverage, std::string& error) {
    std::vector<std::uint8_t> levels;
    levels.reserve(coverage.cells().size());
    for (float c : coverage.cells()) {
        levels.push_back(static_cast<std::uint8_t>(std::lround(clamp01(c) * 15.0f)));
    }
    return writeGreyPng(path, coverage.width(), coverage.height(), levels, 4, std::nullopt, error);
}

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

} // namespace

int main(int argc, char** argv) {
    std::string assets, shaders, source, fontPath = defaultFontPath();
    cli::Parser parser;
    parser.text("--assets", &assets);
    parser.text("--shaders", &shaders);
    parser.text("--source", &source);
    parser.text("--font", &fontPath);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    if (std::optional<int> code = cli::earlyExit(parsed, kTool, usage)) {
        return *code;
    }
    if (assets.empty() && shaders.empty() && source.empty()) {
        return cli::usageError(kTool, "no output folder given");
    }
    std::vector<std::string> outputs;
    if (!shaders.empty()) {
        outputs.push_back(shaders + "/glyph_tables.hlsli");
    }
    if (!source.empty()) {
        outputs.push_back(source + "/glyph_table.h");
        outputs.push_back(source + "/glyph_table.cpp");
    }
    if (!assets.empty()) {
        outputs.push_back(assets + "/letterAtlas.png");
        outputs.push_back(assets + "/letterAtlas2.png");
    }
    std::string error;
    for (const std::string& output : outputs) {
        if (!files::checkOutput(output, {fontPath}, &error)) {
            return fail(error);
        }
    }
    Font font;
    GlyphLayout layout;
    if (!font.load(fontPath, error) || !layoutGlyphs(font, layout, error)) {
        return fail(error);
    }
    if (!shaders.empty() &&
        !writeTextFile(shaders + "/glyph_tables.hlsli", hlslGlyphTable(layout), error)) {
        return fail(error);
    }
    if (!source.empty() &&
        (!writeTextFile(source + "/glyph_table.h", cppGlyphTableHeader(), error) ||
         !writeTextFile(source + "/glyph_table.cpp", cppGlyphTableSource(layout), error))) {
        return fail(error);
    }
    if (!assets.empty()) {
        std::array<Plane, 2> atlases = renderAtlases(font, layout);
        if (!writeAtlas(assets + "/letterAtlas.png", atlases[0], error) ||
            !writeAtlas(assets + "/letterAtlas2.png", atlases[1], error)) {
            return fail(error);
        }
    }
    return cli::kExitOk;
}
