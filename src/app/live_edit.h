// The show under the sync editor's control. Usage, on the main thread:
//
//   LiveEdit edit(app.timeline, app.audio, replayPicture, "show_keys_data.saved.cpp");
//   edit.start(host, port);
//   between frames:  edit.betweenFrames(cursor);   // keys, pause, seek, save, row report
//
// The editor's keys go straight into the timeline, so the next frame shows them. PAUSE holds
// the sound and with it the clock, and holds the frame cursor: the picture stands (the held
// frame is drawn again, edits included). SET_ROW moves the music to the row's time and the
// picture onto the frame grid there: `replayPicture(0, n)` brings the picture's frame-to-frame
// state from a fresh start through grid frames 0 to n - 1 (a forward seek from a held picture
// on the grid continues from where it stands instead), and the cursor then carries grid
// frame n's counter and the time of grid frame n - 1, so the frames after a seek are those of
// a continuous run (and of a capture at the grid's rate). Key edits while held replay the
// picture to where it stands once the editor has been quiet for kEditsSettle (or before play
// resumes), so the held picture has the history the new keys give; while playing, edits show
// from the next frame and the history follows them at the next seek or pause. SAVE_TRACKS writes
// the keys as a key data source to the save path (never over the committed source: adopting the
// save is the artist's step). The network is only read here, never on the audio thread; an editor
// that goes away is looked for again later.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/frame_cursor.h"
#include "music/audio_output.h"
#include "params/sync_editor_client.h"

// The frame grid a seek replays on: a capture's default rate.
constexpr double kSeekGridFps = 60.0;
// How long the editor must be quiet after key edits before a held picture replays its history.
constexpr std::chrono::milliseconds kEditsSettle{250};

class LiveEdit {
public:
    // Replays grid frames `from` to `to` - 1 without drawing them; from 0, first puts the
    // picture's state back to that of a freshly started show.
    using ReplayPicture = std::function<void(std::uint32_t from, std::uint32_t to)>;

    LiveEdit(SyncTimeline& timeline, AudioOutput& audio, ReplayPicture replayPicture,
             std::string savePath);
    void start(const std::string& host, std::uint16_t port) { client_.start(host, port); }
    void betweenFrames(FrameCursor& cursor);
    SyncEditorClient& client() { return client_; }

    // Rows and song frames at the timeline's tempo (rows per second = bpm / 60 x rows per beat).
    std::uint64_t frameOfRow(std::uint32_t row) const;
    std::uint32_t rowOfFrame(std::uint64_t frame) const;

private:
    // Replays the picture to the clock's reading at `songFrame` and puts the cursor there.
    void seekPicture(std::uint64_t songFrame, FrameCursor& cursor);
    // Whether the picture's state is still that of the grid run of the last replay.
    bool standsOnGrid(const FrameCursor& cursor) const;

    SyncTimeline& timeline_;
    AudioOutput& audio_;
    ReplayPicture replayPicture_;
    std::string savePath_;
    SyncEditorClient client_;
    bool historyStale_ = false; // keys changed since the picture's history was replayed
    std::chrono::steady_clock::time_point lastEdit_;
    std::optional<std::uint32_t> seekGridFrame_; // the grid frame the last replay led to
};
