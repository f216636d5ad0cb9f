// Live editing: a client of the sync editor (GNU Rocket's TCP protocol) that feeds a
// SyncTimeline. Usage, on the main thread between frames:
//
//   SyncEditorClient client(timeline, trackNames);   // names in parameter order
//   client.start("localhost", 1338);
//   every frame:  EditorEvents e = client.poll();     // never blocks
//                 if (e.pause) ...; if (e.seekRow) ...; if (e.saveRequested) ...;
//                 while playing: client.reportRow(row);
//
// After the handshake every track's keys are dropped and the editor's keys take their place:
// the editor sends all the keys it holds for each track the client asks for. If the editor goes
// away or sends anything malformed, the connection is closed with a message, the keys stay as
// they are and the client tries again after a while. Quartic keys (mode 4) pass both ways
// unchanged: the editor keeps a mode it does not know and sends it back with the key.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "params/editor_stream.h"
#include "params/sync_timeline.h"

// "HOST:PORT", "HOST" or ":PORT" (the host defaults to localhost, the port to 1338). False
// with a message when the port is not a number from 1 to 65535.
bool parseEditorAddress(const std::string& text, std::string& host, std::uint16_t& port,
                        std::string& error);

class SyncEditorClient {
public:
    using Log = std::function<void(const std::string&)>;

    // The timeline must outlive the client; it is resized to at least as many tracks as names.
    SyncEditorClient(SyncTimeline& timeline, std::vector<std::string> trackNames, Log log = {});
    ~SyncEditorClient();
    SyncEditorClient(const SyncEditorClient&) = delete;
    SyncEditorClient& operator=(const SyncEditorClient&) = delete;

    // Begins connecting to host:port; the connection is made by later polls.
    void start(std::string host, std::uint16_t port);
    // Connects, reads and applies whatever has arrived, without waiting.
    EditorEvents poll();
    // Tells the editor where playback is (sent only when the row changes).
    void reportRow(std::uint32_t row);
    bool isConnected() const { return state_ == State::Live; }
    // Pause between attempts to reach the editor (default 1 s).
    void setRetryInterval(std::chrono::milliseconds interval) { retryInterval_ = interval; }

private:
    enum class State { Idle, Waiting, Connecting, Greeting, Live };
    using Clock = std::chrono::steady_clock;

    void beginConnect();
    void onConnected();
    void closeConnection(const std::string& why, EditorEvents& events);
    bool flushOutput(EditorEvents& events);
    bool readInput(EditorEvents& events);
    // Gives the bytes read to the stream; false when it refused them (the connection is closed).
    bool applyInput(const char* data, std::size_t size, EditorEvents& events);
    void requestTracks();

    SyncTimeline& timeline_;
    std::vector<std::string> names_;
    Log log_;
    std::string host_;
    std::uint16_t port_ = 0;
    State state_ = State::Idle;
    std::uintptr_t socket_ = 0; // a SOCKET, kept opaque here
    bool socketOpen_ = false;
    Clock::time_point nextAttempt_{};
    Clock::time_point connectStarted_{};
    std::chrono::milliseconds retryInterval_{1000};
    EditorStream stream_;
    std::string out_;
    std::optional<std::uint32_t> lastReportedRow_;
};

// Takes every key of the named tracks from the editor at host:port, for a tool that renders
// with them: connects, asks for the tracks and waits until the editor has been quiet for
// `quiet` (the protocol marks no end of a track's keys). The editor's PAUSE and SET_ROW are
// ignored. False with a message when no editor answers within `patience` or the connection
// breaks; the timeline keeps what it had then.
bool fetchEditorKeys(SyncTimeline& timeline, const std::vector<std::string>& trackNames,
                     const std::string& host, std::uint16_t port, std::string& error,
                     std::chrono::milliseconds quiet = std::chrono::milliseconds(300),
                     std::chrono::milliseconds patience = std::chrono::milliseconds(5000));
