// The show's side of the sync editor connection under any byte stream, split into reads at
// any points. The input's front is the stream, its back the read sizes (FuzzedDataProvider
// takes integers from the end), so a mutation of the one leaves the other in place; one bit
// decides whether the editor's greeting is put in front, so both the handshake and the
// commands behind it are searched. After every read: a refused stream stops (the client
// closes the connection); no more than one incomplete command is held; tracks that were not
// asked for keep their keys; every key applied has ascending rows, a finite value and a known
// mode, and the tracks evaluate. At the end, the same bytes read at once must have given the
// same keys, events and verdict.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "params/editor_protocol.h"
#include "params/editor_stream.h"

namespace {

constexpr std::size_t kAskedTracks = 31; // the show's tracks
constexpr std::size_t kOtherTracks = 2;  // present in the timeline, never asked for
constexpr std::size_t kLongestCommand = 14;

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkTracks(const SyncTimeline& timeline, bool greeted) {
    for (std::size_t t = 0; t < timeline.tracks.size(); ++t) {
        const auto& keys = timeline.tracks[t].keys;
        if (t >= kAskedTracks || !greeted) {
            // The keys every track started with (below) are still there, unchanged.
            check(keys.size() == 1 && keys[0].row == t && keys[0].value == float(t));
            continue;
        }
        for (std::size_t k = 0; k < keys.size(); ++k) {
            check(std::isfinite(keys[k].value));
            check(keys[k].interpolation >= Step && keys[k].interpolation <= Quartic);
            check(k == 0 || keys[k - 1].row < keys[k].row);
        }
        for (float time : {0.0f, 1.0f, 100.0f, 1e9f})
            (void)timeline.evaluate(static_cast<std::uint32_t>(t), time);
    }
}

void startTracks(SyncTimeline& timeline) {
    timeline.resizeTracks(kAskedTracks + kOtherTracks);
    for (std::size_t t = 0; t < timeline.tracks.size(); ++t)
        timeline.appendKey(static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(t), float(t),
                           Linear);
}

bool sameEvents(const EditorEvents& a, const EditorEvents& b) {
    return a.connected == b.connected && a.pause == b.pause && a.seekRow == b.seekRow &&
           a.saveRequested == b.saveRequested && a.keyEdits == b.keyEdits;
}

bool sameTracks(const SyncTimeline& a, const SyncTimeline& b) {
    for (std::size_t t = 0; t < a.tracks.size(); ++t) {
        const auto& x = a.tracks[t].keys;
        const auto& y = b.tracks[t].keys;
        if (x.size() != y.size())
            return false;
        for (std::size_t k = 0; k < x.size(); ++k)
            if (x[k].row != y[k].row || x[k].interpolation != y[k].interpolation ||
                std::memcmp(&x[k].value, &y[k].value, 4) != 0)
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SyncTimeline timeline;
    startTracks(timeline);
    EditorStream stream(timeline, kAskedTracks);
    FuzzedDataProvider input(data, size);
    std::string bytes = input.ConsumeBool() ? std::string(editor::kEditorGreeting) : "";
    EditorEvents events;
    std::string why, all;
    EditorStream::Status status = EditorStream::Status::Ok;
    while (input.remaining_bytes() > 0 || !bytes.empty()) {
        const std::size_t read = input.ConsumeIntegralInRange<std::size_t>(1, 64);
        bytes += input.ConsumeBytesAsString(read);
        if (bytes.empty())
            break;
        all += bytes;
        status = stream.feed(bytes.data(), bytes.size(), events, why);
        bytes.clear();
        if (status != EditorStream::Status::Ok) {
            check(!why.empty());
            break;
        }
        check(stream.pending() < kLongestCommand);
        checkTracks(timeline, stream.greeted());
    }
    check(events.connected == stream.greeted());

    SyncTimeline whole;
    startTracks(whole);
    EditorStream once(whole, kAskedTracks);
    EditorEvents onceEvents;
    std::string onceWhy;
    check(once.feed(all.data(), all.size(), onceEvents, onceWhy) == status);
    check(onceWhy == why && sameEvents(events, onceEvents) && sameTracks(timeline, whole));
    return 0;
}
