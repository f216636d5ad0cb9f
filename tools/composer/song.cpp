#include "song.h"

#include <stdexcept>

namespace composer {

void cutIntoPatterns(const Song& song, int restartOrder, XmModule& module) {
    constexpr int kPatternRows = 128;
    const int orderCount = (kSongRows + kPatternRows - 1) / kPatternRows;
    if (restartOrder < 0 || restartOrder >= orderCount)
        throw std::invalid_argument("restart order outside the song");
    module.channels = kChannelCount;
    module.patterns.clear();
    module.orders.clear();
    for (int order = 0; order < orderCount; ++order) {
        XmPattern p;
        p.rows = kPatternRows;
        p.channels = kChannelCount;
        p.cells.resize(size_t(kPatternRows) * kChannelCount);
        const int first = order * kPatternRows;
        for (int r = 0; r < kPatternRows && first + r < kSongRows; ++r)
            for (int c = 0; c < kChannelCount; ++c)
                p.at(r, c) = song.cell(first + r, c);
        if (order == orderCount - 1) {
            // The song ends inside this pattern: a pattern break on its last row runs past the
            // last order, so the song wraps to the restart position, which has been played
            // already; a player that plays the song once falls silent exactly at the end.
            const int lastRow = kSongRows - 1 - first;
            int channel = 0;
            while (channel < kChannelCount && p.at(lastRow, channel).effect)
                ++channel;
            if (channel == kChannelCount)
                throw std::logic_error("no free effect column on the song's last row");
            p.at(lastRow, channel).effect = 0x0D;
            p.at(lastRow, channel).param = 0;
        }
        size_t index = 0;
        while (index < module.patterns.size() && module.patterns[index].cells != p.cells)
            ++index;
        if (index == module.patterns.size())
            module.patterns.push_back(std::move(p));
        module.orders.push_back(uint8_t(index));
    }
    module.restartPosition = uint16_t(restartOrder);
}

} // namespace composer
