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
    using Replay = std::pair<std::uint32_t, std::uint32_t>; // grid frames [first, second)
    std::vector<Replay> replays;
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
            timeline, *audio,
            [this](std::uint32_t from, std::uint32_t to) { replays.emplace_back(from, to); },
            savePath);
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
    // What the frame loop does for a new frame: drawn at the clock's time.
    void drawFrame() {
        cursor.previousTime =
            static_cast<float>(static_cast<double>(audioSongFrame(*audio)) / kAudioSampleRate);
        ++cursor.frame;
        cursor.lastFrameDrawn = true;
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
    using Replay = Rig::Replay;
    EXPECT_TRUE(rig.audio->paused);
    EXPECT_TRUE(rig.cursor.hold);
    ASSERT_EQ(rig.replays.size(), 1u);
    EXPECT_EQ(rig.replays[0], Replay(0, 0));
    EXPECT_EQ(rig.cursor.frame, 0u);
    EXPECT_EQ(rig.cursor.previousTime, 0.0f);
    rig.drawFrame();

    // Row 34 at 17 rows a second is 2 s: song frame 88200, the ring holds the song from there.
    // The picture stands on the 60 fps grid (frame 0 drawn at 0 s), so it goes on from frame 1
    // through 119; the next frame is grid frame 120, its elapsed time measured from frame 119
    // at 119/60 s, as in a continuous run.
    rig.editor.sendRow(34);
    rig.framesUntil([&] { return rig.replays.size() == 2; });
    ASSERT_EQ(rig.replays.size(), 2u);
    EXPECT_EQ(rig.replays[1], Replay(1, 120));
    EXPECT_EQ(rig.cursor.frame, 120u);
    EXPECT_EQ(rig.cursor.previousTime, static_cast<float>(119.0 / 60.0));
    EXPECT_FALSE(rig.cursor.lastFrameDrawn) << "the first frame after a seek is a new one";
    EXPECT_EQ(audioSongFrame(*rig.audio), 88200u) << "held: the clock stands at the row";
    const auto offline = audiotest::renderOffline(rig.module, 88200 + 64);
    for (std::uint32_t f = 0; f < 64; ++f)
        ASSERT_EQ(rig.audio->buffer[2 * f], offline[2 * (88200 + f)]) << f;
    EXPECT_TRUE(rig.editor.reportedRows.empty()) << "no reports while paused";
    rig.drawFrame();

    // A key from the editor is in the timeline for the next frame; held, the picture's
    // history then follows the edit: replayed from a fresh start to where it stands.
    rig.editor.sendKey(3, 34, 5.5f, 0);
    rig.framesUntil([&] { return !rig.timeline.tracks[3].keys.empty(); });
    EXPECT_EQ(rig.timeline.evaluate(3, 2.0f), 5.5f);
    rig.framesUntil([&] { return rig.replays.size() == 3; });
    ASSERT_EQ(rig.replays.size(), 3u);
    EXPECT_EQ(rig.replays[2], Replay(0, 120));
    EXPECT_EQ(rig.cursor.frame, 120u);
    EXPECT_FALSE(rig.cursor.lastFrameDrawn);
    rig.drawFrame();

    // Forward to row 51 (3 s) from grid frame 120 drawn at 2 s: on from 121. Back to row 34:
    // from a fresh start.
    rig.editor.sendRow(51);
    rig.framesUntil([&] { return rig.replays.size() == 4; });
    ASSERT_EQ(rig.replays.size(), 4u);
    EXPECT_EQ(rig.replays[3], Replay(121, 180));
    rig.editor.sendRow(34);
    rig.framesUntil([&] { return rig.replays.size() == 5; });
    ASSERT_EQ(rig.replays.size(), 5u);
    EXPECT_EQ(rig.replays[4], Replay(0, 120));

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
