// Two ways in, one check. An input that starts like an XM file is loaded as it is (the loader
// meets arbitrary bytes); any other input drives the random module generator's decisions, so
// that the fuzzer's byte mutations become changes of notes, commands, samples and loops.
// Either module is then rendered by the mixer and frame by frame as defined: nothing may read
// or write outside the player's allocation or the input, hang, trip a sanitizer, or make the
// two renderings differ in a single bit.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "frame_by_frame.h"
#include "music/module_player.h"
#include "random_module.h"

namespace {

// Modules whose sizes ask for more than this are skipped: filling hundreds of megabytes per
// input would only slow the search down.
constexpr uint64_t kFuzzMemoryLimit = 16u << 20;

constexpr uint32_t kRawRates[4] = {4000, 11025, 22050, 44100};

// The loader must fill exactly the allocation that the first walk sized.
void checkArena(const uint8_t* data, size_t size, uint32_t rate) {
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, data, size, rate) != kPlayerOk) {
        return;
    }
    const uint64_t orders = player->songLength > 0 ? player->songLength : 1;
    if (player->rowVisits + orders * 256 !=
        reinterpret_cast<uint8_t*>(player) + playerMemorySize(data, size)) {
        __builtin_trap();
    }
    // The end of the song, where the output falls silent, must be reached the same way.
    setLoopLimit(player, 1);
    float frames[2 * 1024];
    generateSamplesUntilSilenced(player, frames, 1024);
    destroyModulePlayer(player);
}

void compare(const std::vector<uint8_t>& bytes, uint32_t rate, uint32_t frames, uint8_t limit) {
    const xmtest::MixingComparison c = xmtest::compareWithFrameByFrame(bytes, rate, frames, limit);
    if (c.loaded && !c.same()) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 17 && std::memcmp(data, "Extended Module: ", 17) == 0) {
        if (playerMemorySize(data, size) > kFuzzMemoryLimit) {
            return 0;
        }
        const uint32_t rate = kRawRates[size % 4];
        checkArena(data, size, rate);
        compare(std::vector<uint8_t>(data, data + size), rate, 2048, data[size - 1] % 3);
        return 0;
    }
    xmtest::ByteChoices choices(data, size);
    const uint32_t rate = xmtest::kRandomModuleRates[choices.below(
        static_cast<uint32_t>(std::size(xmtest::kRandomModuleRates)))];
    const auto limit = static_cast<uint8_t>(choices.below(3));
    const std::vector<uint8_t> bytes = xmtest::randomModule(choices).build();
    // Short renders keep the search fast (thousands of inputs a second); the fuzzer finds
    // modules that reach their extremes early.
    compare(bytes, rate, 1024, limit);
    return 0;
}
