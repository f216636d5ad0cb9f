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

void LiveEdit::betweenFrames(FrameCursor& cursor) {
    const EditorEvents events = client_.poll();
    if (events.pause)
        pauseAudioOutput(audio_, *events.pause);
    if (events.seekRow) {
        const std::uint64_t frame = frameOfRow(*events.seekRow);
        seekAudioOutput(audio_, frame);
        audio_.baseFrame = frame; // also where no sound plays: the clock starts there
        // The clock's reading at the row, as the frame loop computes it.
        const float time = static_cast<float>(static_cast<double>(frame) / kAudioSampleRate);
        const auto grid = static_cast<std::uint32_t>(firstGridFrameAtOrAfter(time, kSeekGridFps));
        replayPicture_(grid);
        cursor.frame = grid;
        cursor.previousTime = grid > 0 ? gridTime(grid - 1, kSeekGridFps) : 0.0f;
        cursor.lastFrameDrawn = false;
    }
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
