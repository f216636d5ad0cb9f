// message-encoder: turns the scroll text into the glyph codes the show embeds, and back.

#include "atlas_layout.h"
#include "cli/command_line.h"
#include "files/output_file.h"
#include "glyph_atlas.h"
#include "input_file.h"
#include "message_codec.h"

#include <cstdio>

using namespace pictures;

namespace {

constexpr const char* kTool = "message-encoder";
// Far more than any scroll text or codes file; keeps /dev/zero from filling memory.
constexpr std::uint64_t kMaxInputBytes = 16u << 20;
constexpr int kMaxLength = 1 << 20;
// Scroll1pos runs over a few hundred units in the show.
constexpr double kMaxScrollPos = 1e6;

const char* usage =
    "usage: message-encoder --input TEXT --output CODES [--length N] [--report] [--font FILE]\n"
    "       message-encoder --decode CODES [--at SCROLLPOS] [--font FILE]\n"
    "Encodes a UTF-8 scroll text into exactly N (1..1048576, default 1569) little-endian int32\n"
    "glyph codes, padding with spaces; refuses a longer text and names any character the font\n"
    "lacks with its line and column. Line breaks count as spaces; a line \"@-152\" centres the\n"
    "next line on screen at Scroll1pos -152. Scroll1pos is the show's track that shifts the\n"
    "message line, in half screen widths (800 pixels); it falls from -1 to -580 over the show,\n"
    "so the text moves left. --report prints the glyphs used and where the text ends.\n"
    "--decode prints the text of a codes file, or with --at only the glyphs on screen at that\n"
    "Scroll1pos. CODES may be '-' for standard output.\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n";

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

struct Options {
    std::string input, output, decode, font = defaultFontPath();
    int length = atlas::messageLength;
    double at = 0.0;
    bool report = false;
};

// A usage error in the combination of options, or "".
std::string checkCombination(const cli::Parsed& parsed) {
    if (parsed.has("--decode")) {
        for (const char* encodeOnly : {"--input", "--output", "--length", "--report"}) {
            if (parsed.has(encodeOnly)) {
                return std::string(encodeOnly) + " does not go with --decode";
            }
        }
        return "";
    }
    if (parsed.has("--at")) {
        return "--at goes with --decode";
    }
    if (!parsed.has("--input") || !parsed.has("--output")) {
        return "--input and --output are required";
    }
    return "";
}

bool loadWidths(const std::string& fontPath, GlyphWidths& widths, std::string& error) {
    Font font;
    GlyphLayout layout;
    if (!font.load(fontPath, error) || !layoutGlyphs(font, layout, error)) {
        return false;
    }
    for (const GlyphCell& cell : layout) {
        widths.push_back(cell.width);
    }
    return true;
}

int decode(const Options& o, const cli::Parsed& parsed) {
    std::string bytes, error;
    std::vector<std::int32_t> codes;
    if (!cli::readInputFile(o.decode, kMaxInputBytes, &bytes, &error)) {
        return fail(error);
    }
    if (!codesFromFileBytes(bytes, codes, error)) {
        return fail("'" + o.decode + "' is " + error);
    }
    if (!parsed.has("--at")) {
        std::printf("%s\n", decodeMessage(codes).c_str());
        return cli::kExitOk;
    }
    GlyphWidths widths;
    if (!loadWidths(o.font, widths, error)) {
        return fail(error);
    }
    std::printf("%s\n", visibleText(codes, widths, static_cast<float>(o.at)).c_str());
    return cli::kExitOk;
}

int encode(const Options& o) {
    std::string text, error;
    GlyphWidths widths;
    EncodedMessage message;
    if (!files::checkOutput(o.output, {o.input}, &error) ||
        !cli::readInputFile(o.input, kMaxInputBytes, &text, &error) ||
        !loadWidths(o.font, widths, error)) {
        return fail(error);
    }
    if (!encodeMessage(text, widths, o.length, message, error)) {
        return fail("'" + o.input + "', " + error);
    }
    const std::string bytes = codesFileBytes(message.codes);
    if (!files::writeWholeFile(o.output, bytes.data(), bytes.size(), {o.input}, &error)) {
        return fail(error);
    }
    if (o.report) {
        std::vector<std::int32_t> used(message.codes.begin(),
                                       message.codes.begin() + message.usedCodes);
        // The text has left the screen once its right end passes the left edge.
        float end = glyphEdges(used, widths).back();
        std::printf("%d of %d codes used; the text has scrolled off at Scroll1pos %.2f\n",
                    message.usedCodes, o.length, -1.0f - end - scrollOffset(0.0f));
    }
    return cli::kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    cli::Parser parser;
    parser.text("--input", &o.input);
    parser.text("--output", &o.output);
    parser.whole("--length", &o.length, 1, kMaxLength);
    parser.text("--decode", &o.decode);
    parser.number("--at", &o.at, -kMaxScrollPos, kMaxScrollPos);
    parser.text("--font", &o.font);
    parser.flag("--report", &o.report);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    if (std::optional<int> code = cli::earlyExit(parsed, kTool, usage)) {
        return *code;
    }
    const std::string wrong = checkCombination(parsed);
    if (!wrong.empty()) {
        return cli::usageError(kTool, wrong);
    }
    return parsed.has("--decode") ? decode(o, parsed) : encode(o);
}
