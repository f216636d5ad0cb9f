// Creation and release of the player's single allocation, and the loop limit.
#include <cassert>
#include <cstdlib>

#include "music/arena_layout.h"
#include "music/module_player.h"

namespace {

void initChannel(PlayerChannel* channel) {
    channel->pingForward = 1;
    channel->vibratoRetrigger = 1;
    channel->tremoloRetrigger = 1;
    channel->fadeoutVolume = 1.0f;
    channel->volumeEnvelopeValue = 1.0f;
    channel->volume = 1.0f;
    channel->panningEnvelopeValue = 0.5f;
    channel->panning = 0.5f;
    channel->vibratoWaveform = Sine;
    channel->tremoloWaveform = Sine;
}

} // namespace

int createModulePlayer(ModulePlayer** out, const void* data, size_t size, uint32_t sampleRate) {
    if (out == nullptr || data == nullptr || checkModuleHeader(data, size) != kHeaderValid) {
        return kPlayerInvalidModule;
    }
    // Without a rate every tick would last 0 frames.
    if (sampleRate == 0) {
        return kPlayerInvalidModule;
    }
    const uint64_t bytes = playerMemorySize(data, size);
    if (bytes > kMaxPlayerBytes || bytes > SIZE_MAX) {
        return kPlayerOutOfMemory;
    }
    void* block = std::calloc(1, static_cast<size_t>(bytes));
    if (block == nullptr) {
        return kPlayerOutOfMemory;
    }
    ModulePlayer* player = static_cast<ModulePlayer*>(block);
    player->sampleRate = sampleRate;
    uint8_t* end =
        loadModule(player, data, size, static_cast<uint8_t*>(block) + sizeof(ModulePlayer));
    player->channels = reinterpret_cast<PlayerChannel*>(end);
    player->rowVisits = end + player->channelCount * sizeof(PlayerChannel);
    assert(player->rowVisits + (player->songLength > 0 ? player->songLength : 1) * 256 ==
           static_cast<uint8_t*>(block) + bytes);

    player->globalVolume = 1.0f;
    player->amplification = 0.25f;
    player->rampStep = 1.0f / 128.0f;
    for (int i = 0; i < player->channelCount; ++i) {
        initChannel(&player->channels[i]);
    }
    *out = player;
    return kPlayerOk;
}

void destroyModulePlayer(ModulePlayer* player) {
    std::free(player);
}

void setLoopLimit(ModulePlayer* player, uint8_t limit) {
    player->loopLimit = limit;
}

bool loopLimitSilences(const ModulePlayer* player) {
    return player->loopLimit != 0 && player->loopCount >= player->loopLimit;
}
