// The scroller font's character set: which character each glyph code draws.
#pragma once

#include <array>

namespace pictures {

constexpr int glyphCodeCount = 98;

// Code 19 is a combining diaeresis. Its glyph is a standard 180-pixel cell holding only the two
// dots, set above the capitals (the scroller is set in capitals); the (0, -180) spacing pair of
// the layout pulls the next glyph back onto the same cell, so "code 19, U" draws a U with
// umlaut dots.
constexpr int combiningDiaeresisCode = 19;
constexpr int combiningDiaeresis = 0x0308;

// Code points of the letters the encoder writes as code 19 followed by the bare letter.
struct Precomposed {
    int composed;
    int base;
};
constexpr std::array<Precomposed, 10> diaeresisLetters{{{0xC4, 'A'},
                                                        {0xCB, 'E'},
                                                        {0xD6, 'O'},
                                                        {0xDC, 'U'},
                                                        {0x178, 'Y'},
                                                        {0xE4, 'a'},
                                                        {0xEB, 'e'},
                                                        {0xF6, 'o'},
                                                        {0xFC, 'u'},
                                                        {0xFF, 'y'}}};

// Code point drawn by each glyph code: printable ASCII in order around code 19, then a heart and
// a star for greetings.
const std::array<int, glyphCodeCount>& glyphCodepoints();

// The code that draws a code point, or -1.
int codeForCodepoint(int codepoint);

} // namespace pictures
