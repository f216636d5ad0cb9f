// The headers written to a device, played in order; a header flagged to loop on itself is
// played dwLoops times before the next one starts.
#pragma once

#include <cstdint>
#include <deque>

#include "platform/linux/waveout/waveout_api.h"

namespace quavel::waveout {

class WaveQueue {
public:
    // Queues a header: WHDR_INQUEUE set, WHDR_DONE cleared.
    void append(WAVEHDR* header);

    // Plays up to `bytes` bytes, copying them to `out` unless it is null (a device that only
    // keeps time). Returns the bytes played, fewer when the queue runs dry. Headers played to
    // their end are marked done and leave the queue.
    std::uint64_t play(std::uint64_t bytes, std::uint8_t* out);

    // Marks every queued header done and empties the queue.
    void clear();

    bool empty() const { return entries_.empty(); }

private:
    struct Entry {
        WAVEHDR* header;
        std::uint64_t lapsLeft;
        std::uint64_t offset;
    };

    void finishFront();

    std::deque<Entry> entries_;
};

} // namespace quavel::waveout
