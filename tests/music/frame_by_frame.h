// The mixing of frames exactly as defined, one frame and one channel at a time, to compare
// the mixer's loops with bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ModulePlayer;

namespace xmtest {

void renderFrameByFrame(ModulePlayer* player, float* out, uint32_t frames);

struct MixingComparison {
    bool loaded = false;
    std::vector<float> mixed;    // generateSamples in uneven buffer sizes
    std::vector<float> expected; // renderFrameByFrame
    size_t firstDifference = 0;  // index of the first value whose bits differ, or the size
    bool same() const { return firstDifference == mixed.size(); }
};

// Loads the module twice at `rate` with the given loop limit, renders `frames` frames both
// ways (the random waveform restarted for each) and compares the two.
MixingComparison compareWithFrameByFrame(const std::vector<uint8_t>& bytes, uint32_t rate,
                                         uint32_t frames, uint8_t loopLimit);

} // namespace xmtest
