// One channel's voice: stepping through its sample, the note-start crossfade and the
// amplitude path from channel state to left and right volumes.
#pragma once

#include "music/module_player.h"

constexpr uint32_t kCrossfadeFrames = 32;

inline bool voiceActive(const PlayerChannel* channel) {
    return channel->instrument != nullptr && channel->sample != nullptr && channel->position >= 0;
}

// The channel's next value before volume; advances its position.
float nextVoiceSample(PlayerChannel* channel);
// Keeps the next 32 values of the old voice for the crossfade into a new note.
void captureVoiceTail(PlayerChannel* channel);
// Left and right target volumes from volume, panning, envelopes, fadeout, tremolo, tremor.
void computeTargetVolumes(PlayerChannel* channel);
