// screen-preview: approximates one frame of the show's scroller, logo and credits as they land
// on the 1600 x 900 screen, from the committed pictures and message, to judge placement and
// legibility without a GPU. The glyph and scroller post-process passes follow their shader
// formulas; the composite keeps only the scroller, the logo and the credits strip.

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "atlas_layout.h"
#include "cli/command_line.h"
#include "files/output_file.h"
#include "glyph_atlas.h"
#include "input_file.h"
#include "message_codec.h"
#include "png_writer.h"
#include "screen_placement.h"

#include <cmath>
#include <cstdio>

using namespace pictures;

namespace {

const char* usage =
    "usage: screen-preview --assets DIR --output FILE [--scroll POS] [--letter-colour K]\n"
    "                      [--credits V] [--glass G] [--broken B] [--time T] [--font FILE]\n"
    "Writes an approximate 1600 x 900 screen picture of the scroller at Scroll1pos POS\n"
    "(default -152) with lettercolorglobal K (default 1), the logo over it and the credits\n"
    "strip at visibility V (default 1), the glass layer at Glass1opacity G (default 0.8),\n"
    "whole or, with B 1, shattered, dithered at time T (default 0). FILE is a PNG file (a name\n"
    "ending in .png, or '-' for standard output).\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

constexpr const char* kTool = "screen-preview";

struct Options {
    std::string assets, output, font = defaultFontPath();
    float scroll = -152, letterColour = 1, credits = 1, time = 0, glass = 0.8f;
    int broken = 0;
};

struct Image {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    Rgba at(int x, int y) const {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        const unsigned char* p = &rgba[(static_cast<std::size_t>(y) * w + x) * 4];
        return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
    }
    // Linear filtering with clamping, at picture pixel coordinates.
    Rgba linear(float x, float y) const {
        float fx = x - 0.5f, fy = y - 0.5f;
        int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
        float tx = fx - x0, ty = fy - y0;
        return lerp(lerp(at(x0, y0), at(x0 + 1, y0), tx),
                    lerp(at(x0, y0 + 1), at(x0 + 1, y0 + 1), tx), ty);
    }
};

bool load(const std::string& path, Image& image, std::string& error) {
    int n;
    unsigned char* data = stbi_load(path.c_str(), &image.w, &image.h, &n, 4);
    if (!data) {
        error = "cannot decode '" + path + "': " + stbi_failure_reason();
        return false;
    }
    image.rgba.assign(data, data + static_cast<std::size_t>(image.w) * image.h * 4);
    stbi_image_free(data);
    return true;
}

float fract(float v) {
    return v - std::floor(v);
}

float ditherNoise(float px, float py, float u, float v, float t) {
    float ax = std::floor(px / 2) * 0.5f + 0.5f * t, ay = std::floor(py / 2) * 0.5f + 0.3f * t;
    float na = fract(std::sin((ax * 12.9898f) * 12.9898f + (ay * 78.233f) * 78.233f) * 43758.547f);
    float bx = std::floor(px / 30) * 100 + 0.2f * t, by = std::floor(py / 30) * 100 + 0.1f * t;
    float nb = fract(std::sin((bx * 43.5632f) * 43.5632f + (by * 29.751f) * 29.751f) * 23421.63f);
    float nc = fract(std::sin((u + 0.1f * t) * 89.123f + (v + 0.1f * t) * 37.567f) * 12345.679f);
    return 0.7f * na + 0.3f * nb + 0.1f * nc;
}

float ditherQuantise(float l, float step, float n) {
    float lo = std::floor(l / step) * step, hi = std::ceil(l / step) * step;
    float f = (l - lo) / step;
    return 0.6f * n + 0.4f < f ? hi : lo;
}

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

// Refusal of the command line, or "".
std::string parse(int argc, char** argv, Options& o, bool& help) {
    cli::Parser parser;
    parser.text("--assets", &o.assets);
    parser.text("--output", &o.output);
    parser.text("--font", &o.font);
    parser.number("--scroll", &o.scroll, -1e6, 1e6);
    parser.number("--letter-colour", &o.letterColour, 0, 100);
    parser.number("--credits", &o.credits, 0, 100);
    parser.number("--glass", &o.glass, 0, 1);
    parser.number("--time", &o.time, 0, 1e6);
    parser.whole("--broken", &o.broken, 0, 1);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    help = parsed.help;
    if (!parsed.ok() || help) {
        return parsed.error;
    }
    if (o.assets.empty() || o.output.empty()) {
        return "both --assets and --output are required";
    }
    return pngOutputNameError(o.output);
}

bool loadCodes(const std::string& path, std::vector<std::int32_t>& codes, std::string& error) {
    std::string bytes;
    if (!cli::readInputFile(path, 1u << 20, &bytes, &error)) {
        return false;
    }
    if (!codesFromFileBytes(bytes, codes, error)) {
        error = "'" + path + "' is " + error;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    bool help = false;
    const std::string wrong = parse(argc, argv, o, help);
    if (help) {
        std::fputs(usage, stdout);
        return cli::kExitOk;
    }
    if (!wrong.empty()) {
        return cli::usageError(kTool, wrong);
    }
    const std::string dir = o.assets + "/";
    const float scroll = o.scroll, letterColour = o.letterColour, credits = o.credits, t = o.time,
                glassOpacity = o.glass;
    const bool broken = o.broken != 0;

    std::string error;
    Font font;
    GlyphLayout layout;
    Image atlases[2], logo, glass, strip;
    std::vector<std::int32_t> codes;
    const std::vector<std::string> inputs = {o.font,
                                             dir + "letterAtlas.png",
                                             dir + "letterAtlas2.png",
                                             dir + "logoTex.png",
                                             dir + "logoTex2.png",
                                             dir + "logoTex3.png",
                                             dir + "CredsImage.png",
                                             dir + "scroll_message.codes"};
    if (!files::checkOutput(o.output, inputs, &error) || !font.load(o.font, error) ||
        !layoutGlyphs(font, layout, error) || !load(dir + "letterAtlas.png", atlases[0], error) ||
        !load(dir + "letterAtlas2.png", atlases[1], error) ||
        !load(dir + "logoTex.png", logo, error) ||
        !load(dir + (broken ? "logoTex3.png" : "logoTex2.png"), glass, error) ||
        !load(dir + "CredsImage.png", strip, error) ||
        !loadCodes(dir + "scroll_message.codes", codes, error)) {
        return fail(error);
    }
    GlyphWidths widths;
    for (const GlyphCell& c : layout) {
        widths.push_back(c.width);
    }
    std::vector<float> edges = glyphEdges(codes, widths);
    const float offset = scrollOffset(scroll);

    const int W = static_cast<int>(screen::width), H = static_cast<int>(screen::height);
    Canvas out(W, H);
    const Rgba clear{32 / 255.0f, 5 / 255.0f, 32 / 255.0f, 1};
    for (int y = 0; y < H; ++y) {
        float s = (y + 0.5f) / H; // screen fraction from the top
        for (int x = 0; x < W; ++x) {
            float clipX = (x + 0.5f) / (W / 2.0f) - 1.0f;
            Rgba c = clear;
            // Glyph pass: every glyph quad under the pixel, in message order, blended over.
            for (std::size_t i = 0; i < codes.size(); ++i) {
                float left = edges[i] + offset;
                const GlyphCell& cell = layout[static_cast<std::size_t>(codes[i])];
                float right = left + cell.width * 3.0f / screen::width;
                if (clipX < left || clipX >= right) {
                    continue;
                }
                float ax = (clipX - left) / (right - left) * cell.width + cell.x;
                float ay = (cell.row % 3) * atlas::rowHeight + s * atlas::rowHeight;
                Rgba texel = atlases[cell.row / 3].linear(ax, ay);
                float cov = (texel.r + texel.g + texel.b) / 3.0f;
                Rgba k{20 / 255.0f * letterColour, 2 / 255.0f * letterColour,
                       20 / 255.0f * letterColour, 1};
                c = {k.r * cov * cov + c.r * (1 - cov), k.g * cov * cov + c.g * (1 - cov),
                     k.b * cov * cov + c.b * (1 - cov), 1};
            }
            // Scroller post-process, in the glyph target's own coordinates (v = 1 - s).
            float u = (x + 0.5f) / W, v = 1.0f - s;
            float lumY = c.r * 0.358f + c.g * 0.704f + c.b * 0.136f;
            float g = v < 0.1f ? 0.0f : v > 0.9f ? 0.5f : (v - 0.1f) / 0.8f * 0.5f;
            float l = std::clamp(lumY + 0.25f * g, 0.0f, 1.0f);
            float q =
                ditherQuantise(l, 1.0f / 15.0f, ditherNoise(x + 0.5f, (H - 1 - y) + 0.5f, u, v, t));
            Rgba px{clamp01(c.r + 0.5f * q), clamp01(c.g + 0.5f * q), clamp01(c.b + 0.5f * q), 1};
            // Credits strip added, then the logo over everything.
            float cx = 0.5f + (u - 0.5f) * screen::width / screen::creditsScreenWidth;
            float cy = 0.1f + ((1.0f - s) - 0.1f) * screen::height / screen::creditsScreenHeight;
            int column = static_cast<int>(std::floor((299.0f * (cx - 0.5f) + 149.5f) / 13.0f));
            cy += 0.15f * std::sin(0.273f * column + 2.0f * t);
            Rgba cr = strip.at(static_cast<int>(std::floor(cx * strip.w)),
                               static_cast<int>(std::floor((1.0f - cy) * strip.h)));
            px = {px.r + cr.r * credits, px.g + cr.g * credits, px.b + cr.b * credits, 1};
            screen::Point lp = screen::screenToLogoPicture({u, s});
            Rgba l1 = logo.linear(lp.x * logo.w, lp.y * logo.h);
            Rgba l2 = glass.at(static_cast<int>(std::floor(lp.x * glass.w)),
                               static_cast<int>(std::floor(lp.y * glass.h)));
            float keep = 1.0f - (glassOpacity * l2.a + l1.a);
            auto mix = [&](float base, float logoC, float glassC) {
                return clamp01(keep * base + logoC * l1.a + glassOpacity * l2.a * glassC);
            };
            out.at(x, y) = {mix(px.r, l1.r, l2.r), mix(px.g, l1.g, l2.g), mix(px.b, l1.b, l2.b), 1};
        }
    }
    std::vector<std::uint8_t> rgb;
    for (const Rgba& c : out.cells()) {
        rgb.insert(rgb.end(), {toByte(c.r), toByte(c.g), toByte(c.b)});
    }
    return writeRgbPng(o.output, W, H, rgb, error) ? cli::kExitOk : fail(error);
}
