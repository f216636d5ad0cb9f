// quavel1 --edit as a user runs it: a window program under the fake sync editor's control.
// It asks for its 31 tracks, shows the editor's row, takes a key, seeks back to an earlier row
// and holds there, steps forward, and reports rows once playing. The picture after the seek is read
// back (QUAVEL1_READ_BACK) and must be byte for byte the frame a capture renders at that row with
// the same keys: the particles' and the pyramid's history, the frame counter and the elapsed
// time all as in a continuous run, whatever the show drew before the seek. The held frame,
// drawn again, must not move, and a step forward (which goes on from the held frame instead of
// replaying from 0) must land on the captured frame too. A shader program saved while the
// show holds a frame is swapped in and the held frame drawn again with it; a broken save keeps
// the old program with its message said once, a red band naming it along the top of the
// picture and the window titled so; saving the running text again clears band and title and
// says so. Started with standard error closed (as from a desktop), the show writes its messages
// to quavel1-edit.log beside the shader folder; without --shaders it runs the built-in programs
// and says once that they are not watched.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <stb/stb_image.h> // implemented by the engine

#include "demo/show_tracks.h"
#include "params/fake_editor.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

// 17 rows a second: row 17 k is k seconds, grid frame 60 k of a 60 fps capture.
constexpr std::uint32_t kStartRow = 17 * 28; // where the editor's cursor stands at first
constexpr std::uint32_t kSeekRow = 17 * 25;  // particles, flashes and a turning pyramid
constexpr std::uint32_t kSeekFrame = 60 * 25;
// The edit: particle speed from row 168 on, so every particle of the seek row moves otherwise.
constexpr std::uint32_t kSpeedTrack = 20, kSpeedRow = 168;
constexpr float kSpeed = 2.0f;

void holdTracks(FakeEditor& editor, bool edited) {
    SyncTimeline timeline;
    show::fillTracks(timeline);
    const std::vector<std::string> names = show::trackNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::vector<SyncKey> keys = timeline.tracks[i].keys;
        if (edited && i == kSpeedTrack)
            for (SyncKey& key : keys)
                if (key.row == kSpeedRow)
                    key = {kSpeedRow, kSpeed, 0};
        editor.holdKeys(names[i], keys);
    }
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string pngPixels(const fs::path& path) {
    int w = 0, h = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (!data)
        return {};
    std::string rgba(reinterpret_cast<const char*>(data), std::size_t(w) * h * 4);
    stbi_image_free(data);
    return rgba;
}

// The band along the top while a program is broken: 26 rows of dark red (140, 5, 5) with light
// letters in it; the picture below left as it was.
constexpr std::size_t kBandRows = 26;
constexpr std::size_t kBandBytes = kBandRows * 1600 * 4;
bool hasBrokenBand(const std::string& rgba) {
    if (rgba.size() != 1600u * 900u * 4u)
        return false;
    std::size_t red = 0, letters = 0;
    for (std::size_t i = 0; i < kBandBytes; i += 4) {
        const auto r = std::uint8_t(rgba[i]), g = std::uint8_t(rgba[i + 1]),
                   b = std::uint8_t(rgba[i + 2]);
        red += r >= 135 && r <= 145 && g <= 10 && b <= 10;
        letters += g >= 120;
    }
    // Mostly band, and a line of text: at least a few letters' worth of light pixels.
    return red > kBandBytes / 4 / 2 && letters > 300;
}

ino_t inodeOf(const fs::path& path) {
    struct stat s {};
    return stat(path.c_str(), &s) == 0 ? s.st_ino : 0;
}

// The titles of the windows of process `pid`, as the display has them (xdotool).
std::string windowTitle(pid_t pid) {
    return tooltest::runTool("xdotool search --all --pid " + std::to_string(pid) +
                             " --name . getwindowname %@")
        .output;
}

// Serves the editor until `done` holds or the time is up.
bool serveUntil(FakeEditor& editor, const std::function<bool()>& done, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        editor.serve();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Reference: the capture tool with its keys from an editor that holds the edited tracks;
// the RGBA pixels of grid frames 1500 and 1560 (25 s and 26 s).
std::vector<std::string> capturedFrames(const fs::path& dir) {
    FakeEditor editor;
    holdTracks(editor, true);
    std::atomic<bool> serving{true};
    std::thread server([&] {
        while (serving) {
            editor.serve();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(QUAVEL1_CAPTURE) +
        " --stills 25,26 --out " + dir.string() +
        " --edit 127.0.0.1:" + std::to_string(editor.port()) + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    serving = false;
    server.join();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {pngPixels(dir / "frame_001500.png"), pngPixels(dir / "frame_001560.png")};
}

// The show process, stopped however the test ends.
struct ShowProcess {
    pid_t pid = -1;
    ~ShowProcess() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

// Runs quavel1 --edit under `editor` with `arguments` after the address, reading its frames
// back into `frames` and its messages into `log` (empty: standard error closed).
pid_t startShow(FakeEditor& editor, const fs::path& frames, const fs::path& log,
                const std::vector<std::string>& arguments) {
    const std::string address = "127.0.0.1:" + std::to_string(editor.port());
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("QUAVEL1_READ_BACK", frames.c_str(), 1);
        // Each frame must draw the whole picture: a pass left out shows as the pattern.
        setenv("QUAVEL_D3D11_FILL_NEW", "1", 1);
        if (log.empty())
            close(STDERR_FILENO);
        else
            std::freopen(log.c_str(), "w", stderr);
        std::vector<const char*> argv = {QUAVEL1_PROGRAM, "--edit", address.c_str()};
        for (const std::string& argument : arguments)
            argv.push_back(argument.c_str());
        argv.push_back(nullptr);
        execv(QUAVEL1_PROGRAM, const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    return pid;
}

TEST(ShowProgramEdit, SeekShowsTheFrameOfAContinuousRunAndHoldsIt) {
    const fs::path dir =
        fs::temp_directory_path() / ("quavel1-live-edit-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "live");
    const std::vector<std::string> captured = capturedFrames(dir / "captured");
    ASSERT_EQ(captured.size(), 2u) << "the reference capture failed";
    const std::string& reference = captured[0];
    ASSERT_EQ(reference.size(), 1600u * 900u * 4u);
    ASSERT_EQ(captured[1].size(), 1600u * 900u * 4u);

    FakeEditor editor("hello, demo!", kStartRow);
    holdTracks(editor, false);
    ShowProcess show;
    show.pid = startShow(editor, dir / "live", dir / "log.txt", {});
    ASSERT_GE(show.pid, 0);
    auto frameFile = [&](std::uint32_t frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06u.rgba", frame);
        return dir / "live" / name;
    };

    // The show asks for its tracks, goes to the editor's row and draws it there; the keys
    // arrive after the row, and the held picture then replays its history with them. Three
    // drawings of the frame leave the show standing there with particles in flight, so what
    // it drew before the seek differs from a fresh start.
    const fs::path before = frameFile(60 * 28);
    ASSERT_TRUE(serveUntil(
        editor, [&] { return fs::exists(before); }, 120));
    for (int redraw = 0; redraw < 2; ++redraw) {
        const ino_t drawn = inodeOf(before);
        ASSERT_TRUE(serveUntil(
            editor, [&] { return inodeOf(before) != drawn; }, 120));
    }
    EXPECT_EQ(editor.requested, show::trackNames());

    // The artist changes a key, then moves the cursor back: the show replays to the row with
    // the new key and draws grid frame 1500.
    editor.sendKey(kSpeedTrack, kSpeedRow, kSpeed, 0);
    editor.sendRow(kSeekRow);
    const fs::path seeked = frameFile(kSeekFrame);
    ASSERT_TRUE(serveUntil(
        editor, [&] { return fs::exists(seeked); }, 120));
    const ino_t first = inodeOf(seeked);
    const std::string shown = fileBytes(seeked);
    EXPECT_TRUE(shown == reference) << "the frame after the seek is not the captured one";

    // Held, the show draws that frame again, unchanged.
    ASSERT_TRUE(serveUntil(
        editor, [&] { return inodeOf(seeked) != first; }, 120));
    EXPECT_TRUE(fileBytes(seeked) == reference) << "the held frame moved";

    // A step forward goes on from the held frame: grid frame 1560 as captured.
    const fs::path stepped = frameFile(kSeekFrame + 60);
    editor.sendRow(kSeekRow + 17);
    ASSERT_TRUE(serveUntil(
        editor, [&] { return fs::exists(stepped); }, 120));
    EXPECT_TRUE(fileBytes(stepped) == captured[1]) << "the frame after a step forward differs";

    // Playing, the show tells the editor where it is, from the row on.
    editor.sendPause(false);
    ASSERT_TRUE(serveUntil(
        editor, [&] { return !editor.reportedRows.empty(); }, 60));
    EXPECT_GE(editor.reportedRows.front(), kSeekRow + 17);
    EXPECT_LT(editor.reportedRows.front(), kSeekRow + 17 * 30);

    // Without --shaders the show ran with its own programs and said so, once.
    const std::string log = fileBytes(dir / "log.txt");
    const std::string note = "the shader programs are the built-in ones and are not watched";
    const std::size_t said = log.find(note);
    EXPECT_NE(said, std::string::npos) << log;
    EXPECT_EQ(log.find(note, said + 1), std::string::npos) << log;

    fs::remove_all(dir);
}

TEST(ShowProgramEdit, ASavedShaderShowsOnTheHeldFrameABrokenOneKeepsTheOld) {
    const fs::path dir =
        fs::temp_directory_path() / ("quavel1-live-shader-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "live");
    fs::copy(SHADER_SOURCES, dir / "shaders");
    const fs::path composite = dir / "shaders" / "ps_composite.hlsl";
    const std::string original = fileBytes(composite);
    FakeEditor editor("hello, demo!", kStartRow);
    holdTracks(editor, false);
    ShowProcess show;
    // No standard error: the messages go to the log beside the shader folder.
    show.pid = startShow(editor, dir / "live", {}, {"--shaders", (dir / "shaders").string()});
    ASSERT_GE(show.pid, 0);
    const fs::path held = dir / "live" / "frame_001680.rgba"; // grid frame of kStartRow
    // The frame once it has been drawn again after `drawn` (files are replaced whole).
    auto nextDrawing = [&](ino_t drawn) {
        EXPECT_TRUE(serveUntil(
            editor, [&] { return fs::exists(held) && inodeOf(held) != drawn; }, 120));
        return fileBytes(held);
    };
    auto save = [&](const std::string& text) {
        std::ofstream(composite, std::ios::binary | std::ios::trunc) << text;
    };
    // Serves the editor until the held frame (read whole) satisfies `wanted`.
    auto heldUntil = [&](const std::function<bool(const std::string&)>& wanted) {
        return serveUntil(
            editor, [&] { return wanted(fileBytes(held)); }, 120);
    };
    const fs::path logFile = dir / "quavel1-edit.log";
    // The keys arrive after the first drawing; the held picture settles with them.
    nextDrawing(0);
    nextDrawing(inodeOf(held));
    const std::string first = nextDrawing(inodeOf(held));
    ASSERT_EQ(first.size(), 1600u * 900u * 4u);

    std::string edited = original;
    const std::string constant = "(1.0 - P.a) * base";
    ASSERT_NE(edited.find(constant), std::string::npos);
    edited.replace(edited.find(constant), constant.size(), "(0.5 - P.a) * base");
    save(edited);
    EXPECT_TRUE(heldUntil([&](const std::string& f) {
        return f.size() == first.size() && f != first;
    })) << "the saved program did not reach the held frame: "
        << fileBytes(logFile);
    const std::string changed = nextDrawing(inodeOf(held));

    // Line 3 names a value nobody declared: the message comes, the picture stays.
    save("float4 pixel_main() : SV_Target\n{\n    return tint;\n}\n");
    const std::string message = "ps_composite: " + composite.string() + ":3: ";
    EXPECT_TRUE(serveUntil(
        editor, [&] { return fileBytes(logFile).find(message) != std::string::npos; }, 120));
    EXPECT_TRUE(serveUntil(
        editor, [&] { return windowTitle(show.pid) == "quavel1 - shader broken\n"; }, 30))
        << windowTitle(show.pid);
    // The picture keeps the program from before the break, under a band that says so.
    EXPECT_TRUE(heldUntil([&](const std::string& f) { return hasBrokenBand(f); }))
        << "no band over the picture while a program is broken";
    const std::string broken = nextDrawing(inodeOf(held));
    EXPECT_TRUE(hasBrokenBand(broken));
    EXPECT_TRUE(broken.compare(kBandBytes, std::string::npos, changed, kBandBytes) == 0)
        << "a broken program replaced the running one";
    // A step draws another moment, still with the program from before the break.
    editor.sendRow(kStartRow + 17);
    const fs::path stepped = dir / "live" / "frame_001740.rgba";
    ASSERT_TRUE(serveUntil(
        editor, [&] { return fs::exists(stepped); }, 120));
    EXPECT_TRUE(fileBytes(stepped).compare(kBandBytes, std::string::npos, changed, kBandBytes) != 0)
        << "a pass stood still while the program was broken";
    // Back to exactly the text that runs: nothing to swap, and the broken state goes.
    editor.sendRow(kStartRow);
    save(edited);
    EXPECT_TRUE(heldUntil([&](const std::string& f) { return f == changed; }))
        << "the band stayed over the frame";
    EXPECT_TRUE(serveUntil(
        editor, [&] { return windowTitle(show.pid) == "quavel1\n"; }, 30))
        << windowTitle(show.pid);

    const std::string log = fileBytes(logFile);
    const std::size_t said = log.find(message);
    EXPECT_NE(said, std::string::npos) << log;
    EXPECT_EQ(log.find(message, said + 1), std::string::npos) << "said more than once: " << log;
    EXPECT_NE(log.find("every shader program compiles again", said), std::string::npos) << log;
    fs::remove_all(dir);
}

} // namespace
