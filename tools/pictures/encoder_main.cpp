// message-encoder: turns the scroll text into the glyph codes the show embeds, and back.

#include "atlas_layout.h"
#include "command_line.h"
#include "glyph_atlas.h"
#include "message_codec.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace pictures;

namespace {

const char* usage =
    "usage: message-encoder --input TEXT --output CODES [--length N] [--report] [--font FILE]\n"
    "       message-encoder --decode CODES [--at SCROLLPOS] [--font FILE]\n"
    "Encodes a UTF-8 scroll text into exactly N (default 1569) little-endian int32 glyph codes,\n"
    "padding with spaces; refuses a longer text and names any character the font lacks with\n"
    "its line and column. Line breaks count as spaces; a line \"@-152\" centres the next line\n"
    "on screen at Scroll1pos -152. --report prints the glyphs used and where the text ends.\n"
    "--decode prints the text of a codes file, or with --at only the glyphs on screen at that\n"
    "Scroll1pos.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "message-encoder: %s\n", message.c_str());
    return 1;
}

bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::vector<std::int32_t> codesFromBytes(const std::string& bytes) {
    std::vector<std::int32_t> codes;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        std::uint32_t v = 0;
        for (int b = 3; b >= 0; --b) {
            v = (v << 8) | static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(b)]);
        }
        codes.push_back(static_cast<std::int32_t>(v));
    }
    return codes;
}

bool writeCodes(const std::string& path, const std::vector<std::int32_t>& codes,
                std::string& error) {
    std::string bytes;
    for (std::int32_t c : codes) {
        auto v = static_cast<std::uint32_t>(c);
        for (int b = 0; b < 4; ++b) {
            bytes += static_cast<char>((v >> (8 * b)) & 0xFF);
        }
    }
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl = parseCommandLine(
        argc, argv, {"--input", "--output", "--length", "--decode", "--at", "--font"},
        {"--report"});
    if (cl.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!cl.error.empty()) {
        return fail(cl.error);
    }
    std::string error;
    Font font;
    GlyphLayout layout;
    if (!font.load(cl.get("font", defaultFontPath()), error) ||
        !layoutGlyphs(font, layout, error)) {
        return fail(error);
    }
    GlyphWidths widths;
    for (const GlyphCell& cell : layout) {
        widths.push_back(cell.width);
    }

    if (cl.has("decode")) {
        std::string bytes;
        if (!readFile(cl.get("decode"), bytes, error)) {
            return fail(error);
        }
        std::vector<std::int32_t> codes = codesFromBytes(bytes);
        for (std::int32_t c : codes) {
            if (c < 0 || c >= glyphCodeCount) {
                return fail("code " + std::to_string(c) + " is outside 0.." +
                            std::to_string(glyphCodeCount - 1));
            }
        }
        float at = 0.0f;
        if (cl.has("at") && !parseNumber(cl.get("at"), at)) {
            return fail("--at needs a number");
        }
        std::string text = cl.has("at") ? visibleText(codes, widths, at) : decodeMessage(codes);
        std::printf("%s\n", text.c_str());
        return 0;
    }

    if (!cl.has("input") || !cl.has("output")) {
        return fail("--input and --output are required (see --help)");
    }
    int length = atlas::messageLength;
    if (cl.has("length")) {
        std::istringstream in(cl.get("length"));
        if (!(in >> length) || length <= 0) {
            return fail("--length needs a positive number");
        }
    }
    std::string text;
    EncodedMessage message;
    if (!readFile(cl.get("input"), text, error) ||
        !encodeMessage(text, widths, length, message, error) ||
        !writeCodes(cl.get("output"), message.codes, error)) {
        return fail(error);
    }
    if (cl.has("report")) {
        std::vector<std::int32_t> used(message.codes.begin(),
                                       message.codes.begin() + message.usedCodes);
        // The text has left the screen once its right end passes the left edge.
        float end = glyphEdges(used, widths).back();
        std::printf("%d of %d codes used; the text has scrolled off at Scroll1pos %.2f\n",
                    message.usedCodes, length, -1.0f - end - scrollOffset(0.0f));
    }
    return 0;
}
