// The show under the sync editor's control. Usage, on the main thread:
//
//   LiveEdit edit(app.timeline, app.audio, replayPicture, "show_keys_data.saved.cpp");
//   edit.start(host, port);
//   between frames:  edit.betweenFrames();   // keys, pause, seek, save, row report
//
// The editor's keys go straight into the timeline, so the next frame shows them. PAUSE holds
// the sound and with it the clock (the picture stands because the clock does). SET_ROW moves
// the music to the row's time and asks `replayPicture` to bring the picture's frame-to-frame
// state there. SAVE_TRACKS writes the keys as a key data source to the save path (never over
// the committed source: adopting the save is the artist's step). The network is only read
// here, never on the audio thread; an editor that goes away is looked for again later.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "music/audio_output.h"
#include "params/sync_editor_client.h"

class LiveEdit {
public:
    using ReplayPicture = std::function<void(float seconds)>;

    LiveEdit(SyncTimeline& timeline, AudioOutput& audio, ReplayPicture replayPicture,
             std::string savePath);
    void start(const std::string& host, std::uint16_t port) { client_.start(host, port); }
    void betweenFrames();
    SyncEditorClient& client() { return client_; }

    // Rows and song frames at the timeline's tempo (rows per second = bpm / 60 x rows per beat).
    std::uint64_t frameOfRow(std::uint32_t row) const;
    std::uint32_t rowOfFrame(std::uint64_t frame) const;

private:
    SyncTimeline& timeline_;
    AudioOutput& audio_;
    ReplayPicture replayPicture_;
    std::string savePath_;
    SyncEditorClient client_;
};
