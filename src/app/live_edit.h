// The show under the sync editor's control. Usage, on the main thread:
//
//   Playhead playhead(picture, kSeekGridFps);
//   LiveEdit edit(app.timeline, app.audio, playhead, "show_keys_data.saved.cpp");
//   edit.start(host, port);
//   between frames:  edit.betweenFrames();   // keys, pause, seek, save, row report
//
// The editor's keys go straight into the timeline, so the next frame shows them. PAUSE holds
// the sound and with it the clock, and holds the playhead: the picture stands (the held frame
// is drawn again, edits included). SET_ROW moves the music to the row's time and seeks the
// playhead onto the frame grid there, so the frames after a seek are those of a continuous run
// (and of a capture at the grid's rate). Key edits while held replay the picture to where it
// stands once the editor has been quiet for kEditsSettle (or before play resumes), so the held
// picture has the history the new keys give; while playing, edits show from the next frame and
// the history follows them at the next seek or pause. SAVE_TRACKS writes
// the keys as a key data source to the save path (never over the committed source: adopting the
// save is the artist's step). The network is only read here, never on the audio thread; an editor
// that goes away is looked for again later.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "app/playhead.h"
#include "music/audio_output.h"
#include "params/sync_editor_client.h"

// The frame grid a seek replays on: a capture's default rate.
constexpr double kSeekGridFps = 60.0;
// How long the editor must be quiet after key edits before a held picture replays its history.
constexpr std::chrono::milliseconds kEditsSettle{250};

class LiveEdit {
public:
    LiveEdit(SyncTimeline& timeline, AudioOutput& audio, Playhead& playhead, std::string savePath);
    void start(const std::string& host, std::uint16_t port) { client_.start(host, port); }
    void betweenFrames();
    SyncEditorClient& client() { return client_; }

    // Rows and song frames at the timeline's tempo (SyncTimeline::rowRate).
    std::uint64_t frameOfRow(std::uint32_t row) const;
    std::uint32_t rowOfFrame(std::uint64_t frame) const;

private:
    SyncTimeline& timeline_;
    AudioOutput& audio_;
    Playhead& playhead_;
    std::string savePath_;
    SyncEditorClient client_;
    std::chrono::steady_clock::time_point lastEdit_;
};
