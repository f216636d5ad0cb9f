// Small helpers shared by the music tests.
#pragma once

#include <cmath>
#include <vector>

#include "music/module_player.h"
#include "music/sequencer.h"
#include "xm_builder.h"

namespace xmtest {

// A voice position of `frames` sample frames (fractions allowed), and back.
inline SamplePosition positionOf(double frames) {
    return static_cast<SamplePosition>(std::llround(frames * static_cast<double>(kOneFrame)));
}
inline double framesOf(SamplePosition position) {
    return static_cast<double>(position) / static_cast<double>(kOneFrame);
}

inline void runTicks(ModulePlayer* player, int ticks) {
    for (int i = 0; i < ticks; ++i) {
        playerTick(player);
    }
}

// A module of `channels` channels, one 64-row pattern, one instrument holding `sample`.
inline XmModule moduleWithSample(XmSample sample, uint16_t channels = 1) {
    XmModule module;
    module.channels = channels;
    module.addPattern(64);
    module.instruments.push_back(singleSampleInstrument(std::move(sample)));
    return module;
}

// Three rows of one tick each (882 frames at 44.1 kHz, 2646 in all), a looped tone started on
// row 0, then the song comes back to row 0.
inline XmModule threeRowSong() {
    XmSample s = constantSample(100, 100);
    s.loopBits = 1;
    s.loopLength = 100;
    XmModule m = moduleWithSample(s);
    m.tempo = 1;
    m.patterns[0].rows = 3;
    m.patterns[0].cells.resize(3);
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    return m;
}

inline std::vector<float> render(ModulePlayer* player, uint32_t frames) {
    std::vector<float> out(2 * static_cast<size_t>(frames));
    generateSamples(player, out.data(), frames);
    return out;
}

} // namespace xmtest
