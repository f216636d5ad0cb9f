// What the sync editor sends the show, read as a byte stream: its greeting, then commands
// that edit the tracks (SET_KEY, DELETE_KEY) or steer playback (SET_ROW, PAUSE, SAVE_TRACKS).
// The stream may arrive split at any byte; every complete command is applied as it arrives.
//
//   EditorStream stream(timeline, trackCount);  // tracks 0..trackCount-1 were asked for
//   on every read:  EditorStream::Status s = stream.feed(bytes, size, events, why);
//                   if (s != EditorStream::Status::Ok) close the connection (why says what)
//   on a new connection:  stream.reset();
//
// Once the greeting is complete the named tracks' keys are dropped (the editor sends all the
// keys it holds for each track asked) and events.connected is set. Anything malformed stops
// the stream at that command: what came before it stays applied, nothing after it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "params/sync_timeline.h"

struct EditorEvents {
    bool connected = false;               // the handshake completed during this poll
    bool disconnected = false;            // the connection was lost or refused during this poll
    std::optional<bool> pause;            // the editor's last PAUSE of this poll
    std::optional<std::uint32_t> seekRow; // the editor's last SET_ROW of this poll
    bool saveRequested = false;
    std::size_t keyEdits = 0; // SET_KEY and DELETE_KEY applied
    std::size_t bytesReceived = 0;
};

class EditorStream {
public:
    enum class Status { Ok, NotAnEditor, Malformed };

    // The timeline must outlive the stream and hold at least trackCount tracks.
    EditorStream(SyncTimeline& timeline, std::size_t trackCount)
        : timeline_(timeline), trackCount_(trackCount) {}

    Status feed(const char* data, std::size_t size, EditorEvents& events, std::string& why);
    void reset();
    bool greeted() const { return greeted_; }
    // Bytes of an incomplete greeting or command held for the next read (at most 12).
    std::size_t pending() const { return pending_.size(); }

private:
    Status applyCommands(EditorEvents& events, std::string& why);

    SyncTimeline& timeline_;
    std::size_t trackCount_;
    bool greeted_ = false;
    std::string pending_;
};
