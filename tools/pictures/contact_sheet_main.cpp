// contact-sheet: shows the nine embedded pictures scaled down on a checkerboard, so the
// transparent parts can be told apart, with each picture's name and size.

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "cli/command_line.h"
#include "files/output_file.h"
#include "font_renderer.h"
#include "picture_output.h"
#include "png_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

using namespace pictures;

namespace {

const char* usage =
    "usage: contact-sheet --assets DIR --output FILE [--font FILE]\n"
    "Reads the nine embedded pictures from DIR and writes a contact sheet PNG to FILE.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

constexpr const char* kTool = "contact-sheet";

struct Entry {
    const char* name;
    int column, row;
};
// Three columns: the 764 x 348 overlays, then the atlases and the credits strip.
constexpr Entry entries[] = {
    {"logoTex", 0, 0},     {"logoTex2", 1, 0},     {"logoTex3", 2, 0},
    {"logoTex4", 0, 1},    {"glowstuffmap", 1, 1}, {"heartImage", 2, 1},
    {"letterAtlas", 0, 2}, {"letterAtlas2", 1, 2}, {"CredsImage", 2, 2},
};
constexpr int cellWidth = 420, margin = 20, labelHeight = 30;
// The overlay rows are short; the atlas row holds the two tall atlases.
constexpr int rowTop[] = {0, 240, 480}, rowHeight[] = {240, 240, 380};
constexpr int sheetHeight = 480 + 380 + margin;

Canvas load(const std::string& path, std::string& error) {
    int w, h, n;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &n, 4);
    if (!data) {
        error = "cannot decode '" + path + "': " + stbi_failure_reason();
        return {};
    }
    Canvas c(w, h);
    for (std::size_t i = 0; i < c.cells().size(); ++i) {
        c.cells()[i] = {data[4 * i] / 255.0f, data[4 * i + 1] / 255.0f, data[4 * i + 2] / 255.0f,
                        data[4 * i + 3] / 255.0f};
    }
    stbi_image_free(data);
    return c;
}

// Area-averaging reduction to fit a box, keeping the aspect ratio.
Canvas shrinkToFit(const Canvas& src, int maxW, int maxH) {
    float scale =
        std::min(static_cast<float>(maxW) / src.width(), static_cast<float>(maxH) / src.height());
    scale = std::min(scale, 1.0f);
    int w = std::max(1, static_cast<int>(src.width() * scale));
    int h = std::max(1, static_cast<int>(src.height() * scale));
    Canvas dst(w, h);
    for (int y = 0; y < h; ++y) {
        int y0 = y * src.height() / h, y1 = std::max(y0 + 1, (y + 1) * src.height() / h);
        for (int x = 0; x < w; ++x) {
            int x0 = x * src.width() / w, x1 = std::max(x0 + 1, (x + 1) * src.width() / w);
            Rgba sum;
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    const Rgba& c = src.at(sx, sy);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            }
            float n = static_cast<float>((x1 - x0) * (y1 - y0));
            if (sum.a > 0) {
                dst.at(x, y) = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / n};
            }
        }
    }
    return dst;
}

void label(Canvas& sheet, const Font& font, const std::string& text, int x, int y) {
    Plane ink(sheet.width(), sheet.height());
    float s = font.scaleForCapHeight(13.0f), pen = static_cast<float>(x);
    for (int cp : decodeUtf8(text)) {
        font.draw(ink, cp, s, s, pen, static_cast<float>(y));
        pen += font.metrics(cp, s).advance;
    }
    for (std::size_t i = 0; i < ink.cells().size(); ++i) {
        sheet.cells()[i] = lerp(sheet.cells()[i], {0.9f, 0.9f, 0.9f, 1}, ink.cells()[i]);
    }
}

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

} // namespace

int main(int argc, char** argv) {
    std::string assets, output, fontPath = defaultFontPath();
    cli::Parser parser;
    parser.text("--assets", &assets);
    parser.text("--output", &output);
    parser.text("--font", &fontPath);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    if (std::optional<int> code = cli::earlyExit(parsed, kTool, usage)) {
        return *code;
    }
    const std::string wrong = assets.empty() || output.empty()
                                  ? "both --assets and --output are required"
                                  : pngOutputNameError(output);
    if (!wrong.empty()) {
        return cli::usageError(kTool, wrong);
    }
    std::string error;
    Font font;
    std::vector<std::string> inputs{fontPath};
    for (const Entry& e : entries) {
        inputs.push_back(assets + "/" + e.name + ".png");
    }
    if (!files::checkOutput(output, inputs, &error) || !font.load(fontPath, error)) {
        return fail(error);
    }
    Canvas sheet(3 * cellWidth + margin, sheetHeight, {0.12f, 0.10f, 0.14f, 1});
    for (const Entry& e : entries) {
        Canvas picture = load(assets + "/" + e.name + ".png", error);
        if (!error.empty()) {
            return fail(error);
        }
        Canvas small =
            shrinkToFit(picture, cellWidth - margin, rowHeight[e.row] - margin - labelHeight);
        int ox = margin + e.column * cellWidth, oy = margin + rowTop[e.row] + labelHeight;
        label(sheet, font,
              std::string(e.name) + "  " + std::to_string(picture.width()) + " x " +
                  std::to_string(picture.height()),
              ox, oy - 10);
        for (int y = 0; y < small.height(); ++y) {
            for (int x = 0; x < small.width(); ++x) {
                bool dark = ((x / 8) + (y / 8)) % 2 == 0;
                Rgba check = dark ? Rgba{0.30f, 0.30f, 0.32f, 1} : Rgba{0.45f, 0.45f, 0.47f, 1};
                sheet.at(ox + x, oy + y) = over(small.at(x, y), check);
            }
        }
    }
    return writeIndexed(output, sheet, 256, error) ? cli::kExitOk : fail(error);
}
