// quavel1-capture --edit: with a sync editor holding the show's own keys (as the show exports
// them) the captured frame is byte for byte the one captured without the editor; the capture
// asked for the 31 tracks; without an editor it fails with a message instead of hanging.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>

#include "demo/show_tracks.h"
#include "params/fake_editor.h"
#include "show_rocket.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

// The capture tool's exit code, with what it said in `output`.
int run(const std::string& arguments, std::string& output) {
    const tooltest::ToolRun ran = tooltest::runTool(std::string(QUAVEL1_CAPTURE) + " " + arguments);
    output += ran.output;
    return ran.status;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CaptureEdit, TheShowsOwnKeysFromTheEditorGiveTheSameFrame) {
    const fs::path dir =
        fs::temp_directory_path() / ("quavel1-capture-edit-" + std::to_string(getpid()));
    fs::remove_all(dir);
    // At 0.25 frames a second, grid frame 35 is 140 s: LogoGlow flashes, hearts, particles.
    const std::string frame = "--fps 0.25 --start 140 --frames 1 --out ";

    FakeEditor editor("hello, demo!", 999); // its cursor and pause must not move the capture
    SyncTimeline timeline;
    show::fillTracks(timeline);
    for (const RocketTrack& track : show::rocketFromTimeline(timeline).tracks)
        editor.holdKeys(track.name, track.keys);
    std::atomic<bool> serving{true};
    std::thread server([&] {
        while (serving) {
            editor.serve();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::string log;
    const int edited = run(frame + (dir / "edited").string() +
                               " --edit 127.0.0.1:" + std::to_string(editor.port()),
                           log);
    serving = false;
    server.join();
    ASSERT_EQ(edited, 0) << log;
    EXPECT_EQ(editor.requested, show::trackNames());

    ASSERT_EQ(run(frame + (dir / "plain").string(), log), 0) << log;
    const std::string a = fileBytes(dir / "edited" / "frame_000035.png");
    const std::string b = fileBytes(dir / "plain" / "frame_000035.png");
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "the frame with the editor's keys differs";

    // A port where nothing listens: a clear failure after the wait, not a hang.
    const std::uint16_t closedPort = FakeEditor().port(); // closed again at once
    std::string failure;
    EXPECT_EQ(
        run(frame + (dir / "none").string() + " --edit 127.0.0.1:" + std::to_string(closedPort),
            failure),
        1);
    EXPECT_NE(failure.find("no sync editor answers"), std::string::npos) << failure;
    fs::remove_all(dir);
}

} // namespace
