#include "soundtrack_wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "demo/show_assets.h"
#include "music/module_player.h"
#include "wav_file.h"

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kChunk = 4096;

} // namespace

bool writeSoundtrackWav(const std::string& path, double startSeconds, double seconds,
                        std::string& error) {
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, showModule(), showModuleSize(), kRate) != 0) {
        error = "the soundtrack module cannot be loaded";
        return false;
    }
    setLoopLimit(player, 1);
    // The player's seek: the music before the start is played without sound.
    skipSamples(player, static_cast<std::uint64_t>(std::llround(startSeconds * kRate)));
    std::vector<float> buffer(kChunk * 2);
    WavFile wav;
    bool ok = wav.create(path, SampleFormat::Float32, kRate, &error);
    const auto frames = static_cast<std::uint64_t>(std::llround(seconds * kRate));
    for (std::uint64_t done = 0; ok && done < frames;) {
        auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunk, frames - done));
        generateSamples(player, buffer.data(), n);
        ok = wav.write(buffer.data(), n, &error);
        done += n;
    }
    destroyModulePlayer(player);
    return ok && wav.finish(&error);
}
