// Loads arbitrary bytes as a module and renders a few thousand frames: nothing may read or
// write outside the player's allocation or the input, hang, or trip a sanitizer.
#include <cstddef>
#include <cstdint>

#include "music/module_player.h"

namespace {

// Modules whose sizes ask for more than this are skipped: filling hundreds of megabytes per
// input would only slow the search down.
constexpr uint64_t kFuzzMemoryLimit = 16u << 20;

constexpr uint32_t kRates[4] = {4000, 11025, 22050, 44100};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint64_t bytes = playerMemorySize(data, size);
    if (bytes > kFuzzMemoryLimit) {
        return 0;
    }
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, data, size, kRates[size % 4]) != kPlayerOk) {
        return 0;
    }
    // The loader must fill exactly the allocation that the first walk sized.
    const uint64_t orders = player->songLength > 0 ? player->songLength : 1;
    if (player->rowVisits + orders * 256 != reinterpret_cast<uint8_t*>(player) + bytes) {
        __builtin_trap();
    }
    setLoopLimit(player, size > 0 ? data[size - 1] % 3 : 0);
    float frames[2 * 1024];
    for (int pass = 0; pass < 3; ++pass) {
        generateSamples(player, frames, 1024);
    }
    generateSamplesUntilSilenced(player, frames, 1024);
    destroyModulePlayer(player);
    return 0;
}
