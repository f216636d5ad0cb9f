#include "platform/linux/waveout/wave_queue.h"

#include <algorithm>
#include <cstring>

namespace quavel::waveout {

void WaveQueue::append(WAVEHDR* header) {
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    const bool loops =
        (header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP)) == (WHDR_BEGINLOOP | WHDR_ENDLOOP);
    const std::uint64_t laps = loops ? std::max<std::uint64_t>(header->dwLoops, 1) : 1;
    entries_.push_back(Entry{header, laps, 0});
}

std::uint64_t WaveQueue::play(std::uint64_t bytes, std::uint8_t* out) {
    std::uint64_t played = 0;
    while (bytes > 0 && !entries_.empty()) {
        Entry& entry = entries_.front();
        const std::uint64_t length = entry.header->dwBufferLength;
        if (length == 0) {
            finishFront();
            continue;
        }
        const std::uint64_t remaining = (entry.lapsLeft - 1) * length + (length - entry.offset);
        std::uint64_t take = std::min(bytes, remaining);
        if (out != nullptr) {
            // Copying goes one contiguous stretch of the buffer at a time; keeping time only
            // may skip any number of laps at once.
            take = std::min(take, length - entry.offset);
            std::memcpy(out + played, entry.header->lpData + entry.offset, take);
        }
        const std::uint64_t end = entry.offset + take;
        entry.lapsLeft -= end / length;
        entry.offset = end % length;
        played += take;
        bytes -= take;
        if (entry.lapsLeft == 0)
            finishFront();
    }
    return played;
}

void WaveQueue::clear() {
    while (!entries_.empty())
        finishFront();
}

void WaveQueue::finishFront() {
    WAVEHDR* header = entries_.front().header;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    entries_.pop_front();
}

} // namespace quavel::waveout
