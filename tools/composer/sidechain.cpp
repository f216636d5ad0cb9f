#include "parts.h"
#include "show_cues.h"

#include <algorithm>
#include <vector>

namespace composer {
namespace {

// The sidechain curve around a flash kick on module row R, as a share of the channel's own
// volume: down a row before the kick (the volume glides there in under 3 ms, well before it),
// held under the kick, then back over three rows (about 90 ms), like a compressor's release.
struct DuckStep {
    int offset;
    int percent;
};
const DuckStep kDuckCurve[] = {{-1, 35}, {0, 35}, {1, 55}, {2, 75}, {3, 90}};

const int kDuckedChannels[] = {BassChannel, PadChannel1, PadChannel2, PadChannel3};

// The share of the volume each song row keeps (100 where no kick is near).
std::vector<int> duckLevels() {
    std::vector<int> level(size_t(kSongRows), 100);
    for (int flash : heartFlashRows())
        for (const DuckStep& d : kDuckCurve) {
            const int row = showRow(flash) + d.offset;
            if (row >= 0 && row < kSongRows)
                level[size_t(row)] = std::min(level[size_t(row)], d.percent);
        }
    return level;
}

bool setsVolume(uint8_t volumeColumn) {
    return volumeColumn >= 0x10 && volumeColumn <= 0x50;
}

// Follows the channel's volume as its cells set it (note volumes, volume-column and Cxx
// volumes, note cuts) and rewrites it row by row under the curve. Where a slide or another
// volume-column command makes the volume unknown, the channel is left alone until the next
// cell that sets it.
void duckChannel(Song& song, int channel, const std::vector<int>& level) {
    int volume = -1; // the channel's own volume, 0..64; -1 while unknown
    bool ducked = false;
    for (int row = 0; row < kSongRows; ++row) {
        XmCell& c = *song.at(row, channel);
        const bool struck = c.note >= 1 && c.note <= 96 && c.instrument != 0;
        if (setsVolume(c.volume))
            volume = c.volume - 0x10;
        else if (struck || c.volume != 0)
            volume = -1; // the sample's default volume, or a slide
        const int x = c.param >> 4;
        if (c.effect == 0x0C)
            volume = std::min<int>(c.param, 64);
        else if (c.effect == 0x0A || c.effect == 0x05 || c.effect == 0x06)
            volume = -1;
        const bool free = c.volume == 0 || setsVolume(c.volume);
        const int keep = level[size_t(row)];
        if (volume >= 0 && free && (keep < 100 || ducked))
            c.volume = uint8_t(0x10 + (volume * keep + 50) / 100);
        ducked = keep < 100;
        if (c.effect == 0x0E && x == 0xC)
            volume = 0; // cut: the rows after it stay silent
    }
}

// A hat that rings up to the flash would blur the kick's attack: it is cut a row before.
void cutHatTails(Song& song) {
    for (int flash : heartFlashRows()) {
        XmCell* c = song.at(showRow(flash) - 1, HatChannel);
        if (c && c->note == 0 && c->effect == 0)
            song.effect(showRow(flash) - 1, HatChannel, 0x0E, 0xC0);
    }
}

} // namespace

void duckUnderFlashKicks(Song& song) {
    const std::vector<int> level = duckLevels();
    for (int channel : kDuckedChannels)
        duckChannel(song, channel, level);
    cutHatTails(song);
}

} // namespace composer
