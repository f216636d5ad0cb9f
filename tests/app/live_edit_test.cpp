// The show's side of live editing below the window: the fake sync editor drives the timeline,
// the music (pause, seek) and the picture's replay, and is told the rows played.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/live_edit.h"
#include "audio/audio_test_module.h"
#include "demo/key_data_writer.h"
#include "demo/show_tracks.h"
#include "params/fake_editor.h"

namespace {

struct Rig {
    FakeEditor editor;
    SyncTimeline timeline;
    std::vector<std::uint8_t> module = audiotest::audioTestModule();
    std::unique_ptr<AudioOutput> audio = std::make_unique<AudioOutput>();
    std::vector<std::uint32_t> replays; // grid frames replayed, one entry per seek
    FrameCursor cursor;
    std::string savePath =
        (std::filesystem::temp_directory_path() / "live_edit_saved.cpp").string();
    std::unique_ptr<LiveEdit> live;

    Rig() {
        show::fillTracks(timeline);
        timeline.bpm = 127.5f; // 17 rows a second at 8 rows a beat
        timeline.rowsPerBeat = 8;
        startAudioOutput(*audio, module.data(), module.size());
        live = std::make_unique<LiveEdit>(
            timeline, *audio, [this](std::uint32_t n) { replays.push_back(n); }, savePath);
        live->client().setRetryInterval(std::chrono::milliseconds(20));
        live->start("127.0.0.1", editor.port());
    }
    ~Rig() { stopAudioOutput(*audio); }

    // Frames of the show: the editor answers, the show reads between frames.
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            editor.serve();
            live->betweenFrames(cursor);
            submitFirstWrite(*audio);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Frames until `done` holds, at most a second's worth (a loaded machine delays loopback).
    template <typename Done> void framesUntil(Done done) {
        for (int i = 0; i < 200 && !done(); ++i)
            frames(1);
    }
};

TEST(LiveEdit, EditorPausesSeeksEditsAndSavesTheShow) {
    Rig rig;
    std::filesystem::remove(rig.savePath);
    rig.framesUntil([&] { return rig.editor.requested.size() == 31 && rig.replays.size() == 1; });
    ASSERT_TRUE(rig.editor.greeted);
    ASSERT_EQ(rig.editor.requested, show::trackNames());
    // The editor starts paused at its cursor, row 0: nothing to replay, frame 0 comes next.
    EXPECT_TRUE(rig.audio->paused);
    EXPECT_TRUE(rig.cursor.hold);
    ASSERT_EQ(rig.replays.size(), 1u);
    EXPECT_EQ(rig.replays[0], 0u);
    EXPECT_EQ(rig.cursor.frame, 0u);
    EXPECT_EQ(rig.cursor.previousTime, 0.0f);

    // Row 34 at 17 rows a second is 2 s: song frame 88200, the ring holds the song from there.
    // The picture replays 60 fps grid frames 0 to 119; the next frame is grid frame 120, its
    // elapsed time measured from frame 119 at 119/60 s, as in a continuous run.
    rig.cursor.lastFrameDrawn = true;
    rig.editor.sendRow(34);
    rig.framesUntil([&] { return rig.replays.size() == 2; });
    ASSERT_EQ(rig.replays.size(), 2u);
    EXPECT_EQ(rig.replays[1], 120u);
    EXPECT_EQ(rig.cursor.frame, 120u);
    EXPECT_EQ(rig.cursor.previousTime, static_cast<float>(119.0 / 60.0));
    EXPECT_FALSE(rig.cursor.lastFrameDrawn) << "the first frame after a seek is a new one";
    EXPECT_EQ(audioSongFrame(*rig.audio), 88200u) << "held: the clock stands at the row";
    const auto offline = audiotest::renderOffline(rig.module, 88200 + 64);
    for (std::uint32_t f = 0; f < 64; ++f)
        ASSERT_EQ(rig.audio->buffer[2 * f], offline[2 * (88200 + f)]) << f;
    EXPECT_TRUE(rig.editor.reportedRows.empty()) << "no reports while paused";

    // A key from the editor is in the timeline for the next frame.
    rig.editor.sendKey(3, 34, 5.5f, 0);
    rig.framesUntil([&] { return !rig.timeline.tracks[3].keys.empty(); });
    EXPECT_EQ(rig.timeline.evaluate(3, 2.0f), 5.5f);
    // Held, the picture's history then follows the edit: replayed again to where it stands.
    rig.cursor.lastFrameDrawn = true;
    rig.framesUntil([&] { return rig.replays.size() == 3; });
    ASSERT_EQ(rig.replays.size(), 3u);
    EXPECT_EQ(rig.replays[2], 120u);
    EXPECT_EQ(rig.cursor.frame, 120u);
    EXPECT_FALSE(rig.cursor.lastFrameDrawn);

    // Playing: the clock runs from the row and the rows played are reported.
    rig.editor.sendPause(false);
    rig.frames(60);
    EXPECT_FALSE(rig.audio->paused);
    EXPECT_FALSE(rig.cursor.hold);
    ASSERT_FALSE(rig.editor.reportedRows.empty());
    EXPECT_GE(rig.editor.reportedRows.front(), 34u);
    EXPECT_GT(rig.editor.reportedRows.back(), 34u);
    EXPECT_LT(rig.editor.reportedRows.back(), 34u + 17u * 3u);

    rig.editor.sendSave();
    rig.framesUntil([&] { return std::filesystem::exists(rig.savePath); });
    std::ifstream saved(rig.savePath, std::ios::binary);
    std::ostringstream text;
    text << saved.rdbuf();
    EXPECT_EQ(text.str(), show::writeKeyData(rig.timeline));
    std::filesystem::remove(rig.savePath);
}

} // namespace
