// The whole song as one long grid of cells (module rows x channels), filled part by part and
// then cut into patterns.
#pragma once

#include "xm_module.h"

#include <vector>

namespace composer {

// Channel roles. Drums sit on the first four channels.
enum Channel : int {
    KickChannel = 0,
    SnareChannel,
    HatChannel,
    PercChannel,
    BassChannel,
    PadChannel1,
    PadChannel2,
    PadChannel3,
    LeadChannel,
    EchoChannel,
    ArpChannel,
    FxChannel,
    kChannelCount
};

// Timing of the grid: speed 3 at 255 BPM gives 34 module rows a second; 16 rows to a beat
// (127.5 beats a minute), 64 to a bar. Bars start 32 rows into the song, so the show's bar
// lines (show row 16 + 32k) fall on them.
constexpr int kRowsPerBeat = 16;
constexpr int kRowsPerSixteenth = 4;
constexpr int kRowsPerBar = 64;
constexpr int kSongRows = 12512; // 368.0 s
constexpr int barRow(int bar) {
    return 32 + kRowsPerBar * bar;
}
// The module row at which a show row starts.
constexpr int showRow(int row) {
    return 2 * row;
}

class Song {
public:
    Song() : cells_(size_t(kSongRows) * kChannelCount) {}

    // Cells outside the song are dropped, so parts may write freely past either end.
    XmCell* at(int row, int channel) {
        if (row < 0 || row >= kSongRows)
            return nullptr;
        return &cells_[size_t(row) * kChannelCount + size_t(channel)];
    }
    const XmCell& cell(int row, int channel) const {
        return cells_[size_t(row) * kChannelCount + size_t(channel)];
    }
    void note(int row, int channel, int midi, int instrument, int volume = -1) {
        if (XmCell* c = at(row, channel)) {
            c->note = uint8_t(midi - 11);
            c->instrument = uint8_t(instrument);
            c->volume = volume < 0 ? 0 : uint8_t(0x10 + (volume > 64 ? 64 : volume));
        }
    }
    void keyOff(int row, int channel) {
        if (XmCell* c = at(row, channel)) {
            c->note = kKeyOff;
            c->instrument = 0;
        }
    }
    void effect(int row, int channel, int type, int param) {
        if (XmCell* c = at(row, channel)) {
            c->effect = uint8_t(type);
            c->param = uint8_t(param);
        }
    }
    void volumeColumn(int row, int channel, int value) {
        if (XmCell* c = at(row, channel))
            c->volume = uint8_t(value);
    }

private:
    std::vector<XmCell> cells_;
};

// Cuts the song into 128-row patterns (identical ones shared), ends it with a pattern break
// on its last row (the song then wraps to `restartOrder`) and fills in the order table.
void cutIntoPatterns(const Song& song, int restartOrder, XmModule& module);

} // namespace composer
