// The module player as the audio worklet calls it (web/audio/player_processor.js). Usage:
//
//   ptr = quavel_player_module_buffer(size)  // room for the module's bytes: copy them there
//   quavel_player_open(44100)                // the player over them; 0 or a createModulePlayer
//   error quavel_player_seek(frame)                // the song from `frame`, as the native seek
//   does out = quavel_player_render(128)          // the next 128 stereo frames, interleaved
//
// The worklet renders every block from here, so the sound is the same float for float as the
// native audio thread's and xmrender's: the same player, the same loop limit, the same
// portable mixing path.
#include <cstdint>
#include <vector>

#include "music/module_player.h"

namespace {

// The largest block one call renders; the worklet asks for 128 frames at a time.
constexpr std::uint32_t kMaxRenderFrames = 4096;

struct WorkletPlayer {
    std::vector<std::uint8_t> module; // kept for seeks: a seek starts a fresh player
    ModulePlayer* player = nullptr;
    std::uint32_t sampleRate = 0;
    float block[kMaxRenderFrames * 2] = {};
};

WorkletPlayer state;

void releasePlayer() {
    if (state.player != nullptr)
        destroyModulePlayer(state.player);
    state.player = nullptr;
}

// A fresh player over the kept module, with the loop limit of the show's audio output: the
// song falls silent where it would repeat.
int makePlayer() {
    releasePlayer();
    ModulePlayer* player = nullptr;
    const int created =
        createModulePlayer(&player, state.module.data(), state.module.size(), state.sampleRate);
    if (created != kPlayerOk)
        return created;
    setLoopLimit(player, 1);
    state.player = player;
    return kPlayerOk;
}

} // namespace

#define QUAVEL_EXPORT(name) extern "C" __attribute__((export_name(#name)))

QUAVEL_EXPORT(quavel_player_module_buffer)
std::uint8_t* quavelPlayerModuleBuffer(std::uint32_t size) {
    releasePlayer();
    state.module.assign(size, 0);
    return state.module.data();
}

QUAVEL_EXPORT(quavel_player_open) int quavelPlayerOpen(std::uint32_t sampleRate) {
    state.sampleRate = sampleRate;
    return makePlayer();
}

// `frame` is a double because JavaScript numbers are: song frames stay exact far beyond any song.
QUAVEL_EXPORT(quavel_player_seek) int quavelPlayerSeek(double frame) {
    const int made = makePlayer();
    if (made != kPlayerOk)
        return made;
    if (frame > 0)
        skipSamples(state.player, static_cast<std::uint64_t>(frame));
    return kPlayerOk;
}

// Silence while no player is open (a module that would not load): the page plays on, silent.
QUAVEL_EXPORT(quavel_player_render) float* quavelPlayerRender(std::uint32_t frames) {
    if (frames > kMaxRenderFrames)
        frames = kMaxRenderFrames;
    if (state.player != nullptr)
        generateSamples(state.player, state.block, frames);
    else
        for (std::uint32_t i = 0; i < frames * 2; ++i)
            state.block[i] = 0.0f;
    return state.block;
}

QUAVEL_EXPORT(quavel_player_max_frames) std::uint32_t quavelPlayerMaxFrames() {
    return kMaxRenderFrames;
}
