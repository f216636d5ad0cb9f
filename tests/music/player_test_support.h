// Small helpers shared by the music tests.
#pragma once

#include <vector>

#include "music/module_player.h"
#include "music/sequencer.h"
#include "xm_builder.h"

namespace xmtest {

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

inline std::vector<float> render(ModulePlayer* player, uint32_t frames) {
    std::vector<float> out(2 * static_cast<size_t>(frames));
    generateSamples(player, out.data(), frames);
    return out;
}

} // namespace xmtest
