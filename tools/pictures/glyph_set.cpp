#include "glyph_set.h"

namespace pictures {

const std::array<int, glyphCodeCount>& glyphCodepoints() {
    static const std::array<int, glyphCodeCount> table = [] {
        std::array<int, glyphCodeCount> t{};
        int code = 0;
        for (int c = ' '; c <= '~'; ++c) {
            if (code == combiningDiaeresisCode) {
                t[static_cast<std::size_t>(code++)] = combiningDiaeresis;
            }
            t[static_cast<std::size_t>(code++)] = c;
        }
        t[static_cast<std::size_t>(code++)] = 0x2665; // black heart suit
        t[static_cast<std::size_t>(code++)] = 0x2605; // black star
        return t;
    }();
    return table;
}

int codeForCodepoint(int codepoint) {
    const auto& table = glyphCodepoints();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == codepoint) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace pictures
