#include "app/live_edit.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "app/frame_grid.h"
#include "demo/key_data_writer.h"
#include "demo/show_tracks.h"

namespace {

void logLine(const std::string& text) {
    std::fprintf(stderr, "quavel1: %s\n", text.c_str());
}

} // namespace

LiveEdit::LiveEdit(SyncTimeline& timeline, AudioOutput& audio, ReplayPicture replayPicture,
                   std::string savePath)
    : timeline_(timeline), audio_(audio), replayPicture_(std::move(replayPicture)),
      savePath_(std::move(savePath)), client_(timeline, show::trackNames(), logLine) {}

std::uint64_t LiveEdit::frameOfRow(std::uint32_t row) const {
    const double rowsPerSecond = timeline_.bpm / 60.0 * timeline_.rowsPerBeat;
    return static_cast<std::uint64_t>(std::llround(row / rowsPerSecond * kAudioSampleRate));
}

std::uint32_t LiveEdit::rowOfFrame(std::uint64_t frame) const {
    const double rowsPerSecond = timeline_.bpm / 60.0 * timeline_.rowsPerBeat;
    return static_cast<std::uint32_t>(
        std::floor(static_cast<double>(frame) / kAudioSampleRate * rowsPerSecond));
}

bool LiveEdit::standsOnGrid(const FrameCursor& cursor) const {
    if (historyStale_ || !seekGridFrame_)
        return false;
    const std::uint32_t m = *seekGridFrame_;
    // Not drawn yet: the state is that after grid frame m - 1. Drawn (and drawn again while
    // held, which leaves the state as it was): after frame m, if it was drawn at m's grid time.
    if (!cursor.lastFrameDrawn)
        return cursor.frame == m;
    return cursor.frame == m + 1 && cursor.previousTime == gridTime(m, kSeekGridFps);
}

void LiveEdit::seekPicture(std::uint64_t songFrame, FrameCursor& cursor) {
    // The clock's reading there, as the frame loop computes it.
    const float time = static_cast<float>(static_cast<double>(songFrame) / kAudioSampleRate);
    const auto grid = static_cast<std::uint32_t>(firstGridFrameAtOrAfter(time, kSeekGridFps));
    // A forward seek from a picture that stands on the grid with the keys it was replayed
    // with continues from there: the same frames from the same state. Otherwise from 0.
    const std::uint32_t from = standsOnGrid(cursor) && cursor.frame <= grid ? cursor.frame : 0;
    replayPicture_(from, grid);
    cursor.frame = grid;
    cursor.previousTime = grid > 0 ? gridTime(grid - 1, kSeekGridFps) : 0.0f;
    cursor.lastFrameDrawn = false;
    historyStale_ = false;
    seekGridFrame_ = grid;
}

void LiveEdit::betweenFrames(FrameCursor& cursor) {
    const EditorEvents events = client_.poll();
    const auto now = std::chrono::steady_clock::now();
    const bool resuming = events.pause && !*events.pause;
    if (events.pause && *events.pause)
        pauseAudioOutput(audio_, true);
    if (events.keyEdits > 0) {
        historyStale_ = true;
        lastEdit_ = now;
    }
    if (events.seekRow) {
        const std::uint64_t frame = frameOfRow(*events.seekRow);
        seekAudioOutput(audio_, frame);
        audio_.baseFrame = frame;   // also where no sound plays: the clock starts there
        seekPicture(frame, cursor); // after this poll's edits: the replay has them
    }
    // Edits change the history of the held frame too (the editor's keys also arrive just
    // after its first SET_ROW). Once the editor has been quiet for a moment (a drag has
    // settled), or before play resumes, the picture replays to where it stands.
    if (historyStale_ && audio_.paused && (resuming || now - lastEdit_ >= kEditsSettle))
        seekPicture(audioSongFrame(audio_), cursor);
    if (resuming)
        pauseAudioOutput(audio_, false);
    cursor.hold = audio_.paused;
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
