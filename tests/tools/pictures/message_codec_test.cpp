// The scroll-message encoder: codes and their decoding, errors a writer can act on, anchors.
// (The committed codes are checked against their text by the regeneration test.)

#include "font_renderer.h"
#include "glyph_atlas.h"
#include "message_codec.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pictures;

namespace {

GlyphWidths fontWidths() {
    Font font;
    std::string error;
    GlyphLayout layout;
    EXPECT_TRUE(font.load(defaultFontPath(), error)) << error;
    EXPECT_TRUE(layoutGlyphs(font, layout, error)) << error;
    GlyphWidths widths;
    for (const GlyphCell& c : layout) {
        widths.push_back(c.width);
    }
    return widths;
}

TEST(MessageCodec, RoundTripsTextWithUmlautsAndSymbols) {
    const std::string text = "GR\xC3\x9CSSE & TERVEISI\xC3\x84 \xE2\x99\xA5 127.5 BPM! h\xC3\xA4h?";
    EncodedMessage message;
    std::string error;
    ASSERT_TRUE(encodeMessage(text, fontWidths(), 60, message, error)) << error;
    EXPECT_EQ(message.codes.size(), 60u);
    EXPECT_EQ(decodeMessage(message.codes), text);
    // The umlaut is the combining code followed by the bare capital.
    EXPECT_EQ(message.codes[2], 19);
    EXPECT_EQ(message.codes[3], 'U' - 32 + 1);
    for (int i = message.usedCodes; i < 60; ++i) {
        EXPECT_EQ(message.codes[static_cast<std::size_t>(i)], 0) << "padding at " << i;
    }
}

TEST(MessageCodec, NamesAMissingCharacterByLineAndColumn) {
    EncodedMessage message;
    std::string error;
    EXPECT_FALSE(encodeMessage("HELLO\nSCENE \xE2\x82\xAC 5", fontWidths(), 100, message, error));
    EXPECT_NE(error.find("line 2, column 7"), std::string::npos) << error;
    EXPECT_NE(error.find("U+20AC"), std::string::npos) << error;
    // A bare combining mark is refused too: write the precomposed letter instead.
    EXPECT_FALSE(encodeMessage("A\xCC\x88", fontWidths(), 100, message, error));
    EXPECT_NE(error.find("line 1, column 2"), std::string::npos) << error;
}

TEST(MessageCodec, RefusesATextLongerThanTheMessage) {
    EncodedMessage message;
    std::string error;
    EXPECT_FALSE(encodeMessage("ABCDEF", fontWidths(), 5, message, error));
    EXPECT_NE(error.find("6 glyph codes"), std::string::npos) << error;
    EXPECT_TRUE(encodeMessage("ABCDE", fontWidths(), 5, message, error)) << error;
}

TEST(MessageCodec, AnchorCentresTheNextLineAtItsScrollPosition) {
    GlyphWidths widths = fontWidths();
    EncodedMessage message;
    std::string error;
    ASSERT_TRUE(encodeMessage("YO\n@-30\nHI\nTHERE", widths, 400, message, error)) << error;
    EXPECT_NE(visibleText(message.codes, widths, -30.0f).find("HI"), std::string::npos);
    // The word's centre lands within half a space of the screen centre.
    std::vector<float> edges = glyphEdges(message.codes, widths);
    std::size_t h = 0;
    while (message.codes[h] != 'H' - 32 + 1) {
        ++h;
    }
    float centre = (edges[h] + edges[h + 2]) / 2 + scrollOffset(-30.0f);
    EXPECT_LT(std::abs(centre), 180.0f * 3 / 1600 / 2);

    EXPECT_FALSE(encodeMessage("A LONG LINE OF TEXT\n@-1\nHI", widths, 400, message, error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
}

} // namespace
