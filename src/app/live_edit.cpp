#include "app/live_edit.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "app/edit_output.h"
#include "demo/key_data_writer.h"
#include "demo/show_tracks.h"

namespace {

void logLine(const std::string& text) {
    std::fprintf(editOutput(), "quavel1: %s\n", text.c_str());
    std::fflush(editOutput());
}

} // namespace

LiveEdit::LiveEdit(SyncTimeline& timeline, AudioOutput& audio, Playhead& playhead,
                   std::string savePath)
    : timeline_(timeline), audio_(audio), playhead_(playhead), savePath_(std::move(savePath)),
      client_(timeline, show::trackNames(), logLine) {}

// The rows' rate is the one the tracks are evaluated at (single precision, rounded once per
// step), so a row the editor names and the row the tracks show agree.
std::uint64_t LiveEdit::frameOfRow(std::uint32_t row) const {
    const double rowsPerSecond = timeline_.rowRate();
    return static_cast<std::uint64_t>(std::llround(row / rowsPerSecond * kAudioSampleRate));
}

std::uint32_t LiveEdit::rowOfFrame(std::uint64_t frame) const {
    const double rowsPerSecond = timeline_.rowRate();
    return static_cast<std::uint32_t>(
        std::floor(static_cast<double>(frame) / kAudioSampleRate * rowsPerSecond));
}

void LiveEdit::betweenFrames() {
    const EditorEvents events = client_.poll();
    const auto now = std::chrono::steady_clock::now();
    const bool resuming = events.pause && !*events.pause;
    if (events.pause && *events.pause)
        pauseAudioOutput(audio_, true);
    if (events.keyEdits > 0) {
        playhead_.historyChanged();
        lastEdit_ = now;
    }
    if (events.seekRow) {
        seekAudioOutput(audio_, frameOfRow(*events.seekRow));
        playhead_.seekToTime(audioSongSeconds(audio_)); // after this poll's edits: replayed
    }
    // Edits change the history of the held frame too (the editor's keys also arrive just
    // after its first SET_ROW). Once the editor has been quiet for a moment (a drag has
    // settled), or before play resumes, the picture replays to where it stands.
    if (playhead_.historyStale() && audio_.paused && (resuming || now - lastEdit_ >= kEditsSettle))
        playhead_.seekToTime(audioSongSeconds(audio_));
    if (resuming)
        pauseAudioOutput(audio_, false);
    playhead_.hold(audio_.paused);
    if (events.saveRequested) {
        try {
            show::saveKeyData(timeline_, savePath_);
            logLine("saved the keys to " + savePath_ +
                    " (copy it over src/demo/show_keys_data.cpp to build them in)");
        } catch (const std::exception& e) {
            logLine(std::string("the keys were not saved: ") + e.what());
        }
    }
    if (client_.isConnected() && !audio_.paused)
        client_.reportRow(rowOfFrame(audioSongFrame(audio_)));
}
