// Which WAVEFORMATEX descriptions the layer plays, and as which SDL sample format.
#pragma once

#include <SDL2/SDL_audio.h>

#include "platform/linux/waveout/waveout_api.h"

namespace quavel::waveout {

// The SDL sample format for a supported, self-consistent description (block align and byte
// rate agreeing with channels, bits and rate), or 0.
SDL_AudioFormat sdlFormatFor(const WAVEFORMATEX& format);

} // namespace quavel::waveout
