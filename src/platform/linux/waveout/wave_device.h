// An open wave-out device as the API functions drive it: a queue of headers that plays, can
// pause and can be reset, and a count of the bytes played.
#pragma once

#include <cstdint>

#include "platform/linux/waveout/waveout_api.h"

namespace quavel::waveout {

class WaveDevice {
public:
    virtual ~WaveDevice() = default;

    virtual void write(WAVEHDR* header) = 0;
    virtual void pause() = 0;
    virtual void restart() = 0;
    // Stops playing, marks every queued header done and sets the position back to 0.
    virtual void reset() = 0;
    // Bytes played since the device opened or was last reset. Safe to call from several
    // threads at once.
    virtual std::uint64_t bytesPlayed() = 0;
    // True while a written header has not been played to its end or reset.
    virtual bool hasQueuedHeaders() = 0;
};

} // namespace quavel::waveout
