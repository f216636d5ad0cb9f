#include "params/editor_stream.h"

#include <algorithm>
#include <cmath>

#include "params/editor_protocol.h"
#include "params/key_edits.h"

namespace {

constexpr std::int32_t kHighestMode = Quartic;

// Payload sizes of the editor's commands, by command byte; -1 for bytes that are no command
// the editor sends.
int payloadSize(unsigned char command) {
    static const int kSizes[] = {
        13, // SetKey
        8,  // DeleteKey
        -1, // GetTrack goes the other way
        4,  // SetRow
        1,  // Pause
        0,  // SaveTracks
    };
    return command < sizeof kSizes / sizeof kSizes[0] ? kSizes[command] : -1;
}

} // namespace

void EditorStream::reset() {
    greeted_ = false;
    pending_.clear();
}

EditorStream::Status EditorStream::feed(const char* data, std::size_t size, EditorEvents& events,
                                        std::string& why) {
    pending_.append(data, size);
    if (!greeted_) {
        const std::size_t compared = std::min(pending_.size(), editor::kEditorGreetingSize);
        if (pending_.compare(0, compared, editor::kEditorGreeting, compared) != 0) {
            why = "is not a sync editor";
            return Status::NotAnEditor;
        }
        if (compared < editor::kEditorGreetingSize)
            return Status::Ok;
        pending_.erase(0, editor::kEditorGreetingSize);
        for (std::size_t i = 0; i < trackCount_; ++i)
            timeline_.tracks[i].keys.clear();
        greeted_ = true;
        events.connected = true;
    }
    return applyCommands(events, why);
}

EditorStream::Status EditorStream::applyCommands(EditorEvents& events, std::string& why) {
    std::size_t at = 0;
    auto refuse = [&](const std::string& what) {
        why = "sent " + what;
        return Status::Malformed;
    };
    while (at < pending_.size()) {
        const auto* p = reinterpret_cast<const unsigned char*>(pending_.data()) + at;
        const int size = payloadSize(p[0]);
        if (size < 0)
            return refuse("an unknown command " + std::to_string(p[0]));
        if (pending_.size() - at < static_cast<std::size_t>(1 + size))
            break;
        const unsigned char* arg = p + 1;
        switch (p[0]) {
        case editor::SetKey: {
            const std::uint32_t track = editor::getU32(arg);
            const SyncKey key{editor::getU32(arg + 4), editor::bitsFloat(editor::getU32(arg + 8)),
                              static_cast<std::int32_t>(arg[12])};
            if (track >= trackCount_)
                return refuse("a key for track " + std::to_string(track) + " it was not asked for");
            if (!std::isfinite(key.value))
                return refuse("a value that is not a finite number");
            if (key.interpolation > kHighestMode)
                return refuse("an unknown interpolation " + std::to_string(key.interpolation));
            setKey(timeline_.tracks[track], key);
            ++events.keyEdits;
            break;
        }
        case editor::DeleteKey: {
            const std::uint32_t track = editor::getU32(arg);
            if (track >= trackCount_)
                return refuse("a deletion on track " + std::to_string(track) +
                              " it was not asked for");
            deleteKey(timeline_.tracks[track], editor::getU32(arg + 4));
            ++events.keyEdits;
            break;
        }
        case editor::SetRow:
            events.seekRow = editor::getU32(arg);
            break;
        case editor::Pause:
            if (arg[0] > 1)
                return refuse("a pause flag of " + std::to_string(arg[0]));
            events.pause = arg[0] == 1;
            break;
        case editor::SaveTracks:
            events.saveRequested = true;
            break;
        }
        at += 1 + static_cast<std::size_t>(size);
    }
    pending_.erase(0, at);
    return Status::Ok;
}
