// The show's side of live editing below the window: the fake sync editor drives the timeline,
// the music (pause, seek) and, through the show's playhead, the picture's replay, and is told
// the rows played. Each test is one phase of a session.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include "app/live_edit.h"
#include "demo/key_data_writer.h"
#include "demo/show_tracks.h"
#include "music/audio_test_module.h"
#include "params/fake_editor.h"

namespace {

// Records what the playhead asks of the picture.
struct RecordingPicture : PlayheadPicture {
    int restarts = 0, draws = 0, redraws = 0;
    std::vector<std::uint32_t> replayed; // grid frames advanced since the last look
    void draw(float, std::uint32_t, float) override { ++draws; }
    void advanceState(float, std::uint32_t frame, float) override { replayed.push_back(frame); }
    void redrawLast() override { ++redraws; }
    void restart() override { ++restarts; }
};

using Replay = std::tuple<int, std::uint32_t, std::uint32_t>; // restarts, grid frames [from, to)

struct Rig {
    FakeEditor editor;
    SyncTimeline timeline;
    std::vector<std::uint8_t> module = audiotest::audioTestModule();
    std::unique_ptr<AudioOutput> audio = std::make_unique<AudioOutput>();
    RecordingPicture picture;
    Playhead playhead{picture, kSeekGridFps};
    std::string savePath =
        (std::filesystem::temp_directory_path() / "live_edit_saved.cpp").string();
    std::unique_ptr<LiveEdit> live;

    // Connected: the editor has the tracks and holds the show at row 0; frame 0 is drawn.
    Rig() {
        show::fillTracks(timeline);
        timeline.bpm = 127.5f; // 17 rows a second at 8 rows a beat
        timeline.rowsPerBeat = 8;
        startAudioOutput(*audio, module.data(), module.size());
        live = std::make_unique<LiveEdit>(timeline, *audio, playhead, savePath);
        live->client().setRetryInterval(std::chrono::milliseconds(20));
        live->start("127.0.0.1", editor.port());
        framesUntil([&] { return editor.requested.size() == 31 && playhead.held(); });
        draw();
    }
    ~Rig() { stopAudioOutput(*audio); }

    // Frames of the show: the editor answers, the show reads between frames.
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            editor.serve();
            live->betweenFrames();
            submitFirstWrite(*audio);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Frames until `done` holds, at most a second's worth (a loaded machine delays loopback).
    template <typename Done> void framesUntil(Done done) {
        for (int i = 0; i < 200 && !done(); ++i)
            frames(1);
    }
    void draw() { playhead.advanceTo(audioSongSeconds(*audio)); }
    // The replay since the last look.
    Replay replay() {
        const std::vector<std::uint32_t> r = std::exchange(picture.replayed, {});
        return {std::exchange(picture.restarts, 0), r.empty() ? 0 : r.front(),
                r.empty() ? 0 : r.back() + 1};
    }
    void seek(std::uint32_t row, std::uint32_t gridFrame) {
        editor.sendRow(row);
        framesUntil([&] { return playhead.nextFrame() == gridFrame; });
    }
};

TEST(LiveEdit, ConnectingAsksForEveryTrackAndHoldsAtTheEditorsRow) {
    Rig rig;
    EXPECT_TRUE(rig.editor.greeted);
    EXPECT_EQ(rig.editor.requested, show::trackNames());
    EXPECT_TRUE(rig.audio->paused);
    EXPECT_EQ(rig.replay(), Replay(0, 0, 0)) << "row 0 of a fresh show: nothing to replay";
    EXPECT_EQ(rig.picture.draws, 1);
    rig.draw(); // held at the same time: the frame again, no new one
    EXPECT_EQ(rig.picture.redraws, 1);
    EXPECT_EQ(rig.playhead.nextFrame(), 1u);
}

TEST(LiveEdit, SeeksMoveTheMusicAndReplayThePictureOnTheGrid) {
    Rig rig;
    // Row 34 at 17 rows a second is 2 s: song frame 88200. Frame 0 was drawn at 0 s, on the
    // 60 fps grid, so the replay goes on from frame 1; grid frame 120 comes next, its elapsed
    // time measured from frame 119, as in a continuous run.
    rig.seek(34, 120);
    EXPECT_EQ(rig.replay(), Replay(0, 1, 120));
    EXPECT_EQ(rig.playhead.previousTime(), static_cast<float>(119.0 / 60.0));
    EXPECT_FALSE(rig.playhead.lastFrameDrawn()) << "the first frame after a seek is a new one";
    EXPECT_EQ(audioSongFrame(*rig.audio), 88200u) << "held: the clock stands at the row";
    const auto offline = audiotest::renderOffline(rig.module, 88200 + 64);
    for (std::uint32_t f = 0; f < 64; ++f)
        ASSERT_EQ(rig.audio->buffer[2 * f], offline[2 * (88200 + f)]) << f;
    EXPECT_TRUE(rig.editor.reportedRows.empty()) << "no reports while paused";
    rig.draw();
    rig.seek(51, 180); // forward from grid frame 120 drawn at 2 s: on from 121
    EXPECT_EQ(rig.replay(), Replay(0, 121, 180));
    rig.seek(34, 120); // back: from a fresh start
    EXPECT_EQ(rig.replay(), Replay(1, 0, 120));
}

TEST(LiveEdit, KeyEditsWhileHeldReplayThePictureOnceTheEditorIsQuiet) {
    Rig rig;
    rig.seek(34, 120);
    rig.draw();
    rig.replay();
    rig.editor.sendKey(3, 34, 5.5f, 0);
    rig.framesUntil([&] { return !rig.timeline.tracks[3].keys.empty(); });
    EXPECT_EQ(rig.timeline.evaluate(3, 2.0f), 5.5f);
    rig.framesUntil([&] { return !rig.playhead.historyStale(); });
    EXPECT_EQ(rig.replay(), Replay(1, 0, 120));
    EXPECT_FALSE(rig.playhead.lastFrameDrawn());
}

TEST(LiveEdit, PlayingReportsTheRowsAndSaveWritesTheKeys) {
    Rig rig;
    std::filesystem::remove(rig.savePath);
    rig.seek(34, 120);
    rig.editor.sendPause(false);
    rig.frames(60);
    EXPECT_FALSE(rig.audio->paused);
    EXPECT_FALSE(rig.playhead.held());
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
