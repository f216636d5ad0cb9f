// quavel1-capture as a user meets it: refusals (one line, the option or file and the reason,
// exit 2 for a wrong command line and 1 for an output it cannot use, nothing written), a
// request past the show's end, and a capture stopped by a signal. The refusals need no frame;
// the few rendered runs use a low frame rate (a frame costs seconds on llvmpipe).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tool_run.h"

namespace fs = std::filesystem;
using tooltest::quoted;
using tooltest::runTool;
using tooltest::ScratchFolder;

namespace {

const std::string kCapture = QUAVEL1_CAPTURE;

// The frame files of a folder, sorted.
std::vector<std::string> framesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The byte count of a WAV file's data chunk.
std::uint32_t wavDataBytes(const std::string& path) {
    const std::string bytes = tooltest::readText(path);
    const std::size_t at = bytes.find("data");
    std::uint32_t size = 0;
    if (at != std::string::npos && at + 8 <= bytes.size())
        std::memcpy(&size, bytes.data() + at + 4, 4);
    return size;
}

TEST(CaptureCommandLine, RefusesWhatItCannotDeliverInOneLine) {
    ScratchFolder dir;
    // A folder with a frame of an earlier capture, and one with another split render's record.
    fs::create_directories(dir.path("old"));
    tooltest::writeText(dir.path("old/frame_000003.png"), "x");
    fs::create_directories(dir.path("other-render"));
    tooltest::writeText(dir.path("other-render/frame_000000.png"), "x");
    tooltest::writeText(dir.path("other-render/quavel1-render.txt"),
                        "fps 30\nfirst 0\ncount 10\nparts 2\n");
    tooltest::writeText(dir.path("a-file"), "x");
    const std::vector<std::string> before = dir.entries();
    const std::string out = " --out " + quoted(dir.path("f"));
    struct Case {
        std::string arguments;
        int status;
        std::string reason;
    };
    const Case cases[] = {
        {"--start nan" + out, 2, "--start: 'nan' is not a number"},
        {"--start=inf" + out, 2, "--start: 'inf' is not a number"},
        {"--start=400" + out, 2, "--start: '400' is outside the range from 0 to 368"},
        {"--start -1" + out, 2, "--start: '-1' is outside the range"},
        {"--start 367.99" + out, 2, "--start: 367.99 s is past the last frame of the show"},
        {"--frames 2.5" + out, 2, "--frames: '2.5' is not a whole number"},
        {"--frames 0" + out, 2, "--frames: '0' is outside the range"},
        {"--duration 0.001" + out, 2, "--duration: 0.001 s is less than one frame at 60 fps"},
        {"--duration 1e300" + out, 2, "--duration: '1e300' is outside the range"},
        {"--duration=0.4 --fps 1" + out, 2, "0.4 s is less than one frame at 1 fps"},
        {"--fps 0" + out, 2, "--fps: '0' is outside the range"},
        {"--frames 1 --duration 1" + out, 2, "give --duration or --frames, not both"},
        {"--frames 1", 2, "--out PATH is required"},
        {"--part 3/2" + out, 2, "--part: '3/2' is not K/N"},
        {"--part 2/2.5" + out, 2, "--part: '2/2.5' is not K/N"},
        {"--stills 1,nan" + out, 2, "--stills: 'nan' is not a show time"},
        {"--stills 10 --start 5" + out, 2, "--stills writes PNG frames and takes no --start"},
        {"--audio " + quoted(dir.path("a.mp3")) + out, 2, "--audio: '"},
        {"--frames 1 --out " + quoted(dir.path("clip.avi")), 2,
         "videos are written as .mkv or .mp4"},
        {"--frames 1 --out " + quoted(dir.path("clip.WEBM")), 2, "names a file of type .webm"},
        {"--frames 1 --out " + quoted(dir.path("still.png")), 2, "names a file of type .png"},
        {"--join " + quoted(dir.path("old")) + out, 2, "--join needs --out VIDEO"},
        {"--scale 0" + out, 2, "--scale: 0 is no size; give a fraction above 0, at most 1"},
        {"--scale=1.5" + out, 2, "--scale: '1.5' is outside the range from 0 to 1"},
        {"--scale nan" + out, 2, "--scale: 'nan' is not a number"},
        {"--scale 0.5 --join " + quoted(dir.path("old")) + " --out " + quoted(dir.path("v.mkv")), 2,
         "--scale belongs to rendering"},
        {"--shaders " + quoted(dir.path("old")) + " --join " + quoted(dir.path("old")) + " --out " +
             quoted(dir.path("v.mkv")),
         2, "--shaders belongs to rendering; --join takes frames already drawn"},
        {"--frames 1 --shaders=" + out, 2, "--shaders needs a folder"},
        {"--frames=1 --bogus" + out, 2, "unknown option '--bogus'"},
        {"--overwrite=yes" + out, 2, "--overwrite takes no value"},
        {"--frames", 2, "--frames needs a value"},
        // Outputs it cannot use, found before any frame is drawn.
        {"--frames 1 --out " + quoted(dir.path("old")), 1,
         "already holds 1 frames of another capture; give another folder or --overwrite"},
        {"--frames 1 --part 1/2 --out " + quoted(dir.path("other-render")), 1,
         "already holds 1 frames of another capture"},
        {"--frames 1 --out " + quoted(dir.path("a-file")), 1, "cannot make the folder"},
        {"--frames 1 --shaders " + quoted(dir.path("missing")) + out, 1,
         "--shaders: '" + dir.path("missing") + "' is not a folder"},
        {"--frames 1 --shaders " + quoted(dir.path("a-file")) + out, 1,
         "--shaders: '" + dir.path("a-file") + "' is not a folder"},
        {"--frames 1 --out " + quoted(dir.path("missing/clip.MP4")), 1,
         "No such file or directory"},
        {"--frames 1 --audio " + quoted(dir.path("missing/a.wav")) + out, 1,
         "--audio: cannot create"},
        // A folder that takes no files, though root may write anywhere by its permissions.
        {"--frames 1 --audio /proc/quavel1-capture.wav" + out, 1, "--audio: cannot create"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const tooltest::ToolRun run = runTool(kCapture + " " + c.arguments);
        EXPECT_EQ(run.status, c.status) << run.output;
        EXPECT_EQ(run.output.rfind("quavel1-capture: ", 0), 0u) << run.output;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_EQ(dir.entries(), before);
        EXPECT_EQ(framesIn(dir.path("old")), std::vector<std::string>{"frame_000003.png"});
    }
    for (const char* help : {"-h", "--help", "--frames 1 -h"}) {
        const tooltest::ToolRun run = runTool(kCapture + " " + help);
        EXPECT_EQ(run.status, 0) << help;
        EXPECT_NE(run.output.find("--overwrite"), std::string::npos) << run.output;
    }
}

// 367.5 s at 2 fps is grid frame 735, the show's last: of five frames asked for, one exists.
// It is written with a note, and the soundtrack is that one frame's half second.
TEST(CaptureCommandLine, CutsARequestAtTheShowsEndAndTheSoundtrackWithIt) {
    ScratchFolder dir;
    const tooltest::ToolRun run =
        runTool(kCapture + " --start 367.5 --frames 5 --fps=2 --audio " +
                quoted(dir.path("a.WAV")) + " --out " + quoted(dir.path("f")));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("only 1 of the 5 frames asked for lie before it"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("1 frames written"), std::string::npos) << run.output;
    EXPECT_EQ(framesIn(dir.path("f")), std::vector<std::string>{"frame_000735.png"});
    EXPECT_EQ(wavDataBytes(dir.path("a.WAV")), 22050u * 2 * 4); // 0.5 s, stereo float
}

// Starts the capture, waits until its log shows `mark` (or it ends), stops it with `signal`.
tooltest::ToolRun stopCapture(const std::vector<std::string>& arguments, const char* mark,
                              int signal) {
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 2);
        close(out[0]);
        std::vector<char*> argv{const_cast<char*>(kCapture.c_str())};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    tooltest::ToolRun run;
    char buffer[512];
    bool sent = false;
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        run.output.append(buffer, std::size_t(n));
        if (!sent && run.output.find(mark) != std::string::npos) {
            kill(child, signal);
            sent = true;
        }
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

TEST(CaptureCommandLine, AnInterruptedCaptureKeepsEveryFinishedFrameAndSaysSo) {
    ScratchFolder dir;
    // An earlier capture's frame is removed by --overwrite, not mixed in.
    fs::create_directories(dir.path("f"));
    tooltest::writeText(dir.path("f/frame_000099.png"), "x");
    const tooltest::ToolRun png =
        stopCapture({"--frames", "40", "--fps", "0.5", "--overwrite", "--out", dir.path("f")},
                    "frame 1/40", SIGINT);
    EXPECT_EQ(png.status, 128 + SIGINT) << png.output;
    EXPECT_NE(png.output.find("interrupted: "), std::string::npos) << png.output;
    const std::vector<std::string> frames = framesIn(dir.path("f"));
    ASSERT_GE(frames.size(), 1u);
    ASSERT_LT(frames.size(), 40u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i], "frame_00000" + std::to_string(i) + ".png");
        // Complete PNGs: the last chunk (IEND) is in place.
        const std::string bytes = tooltest::readText(dir.path("f/" + frames[i]));
        EXPECT_EQ(bytes.substr(bytes.size() - 8, 4), "IEND") << frames[i];
    }

    // A video stopped by SIGTERM: the final name is never half a file; the frames written are a
    // playable video under a name that says it is partial.
    const tooltest::ToolRun video = stopCapture(
        {"--frames", "40", "--fps", "0.5", "--out", dir.path("clip.mkv")}, "frame 1/40", SIGTERM);
    EXPECT_EQ(video.status, 128 + SIGTERM) << video.output;
    EXPECT_NE(video.output.find("a playable video of those frames"), std::string::npos)
        << video.output;
    EXPECT_FALSE(fs::exists(dir.path("clip.mkv")));
    const tooltest::ToolRun probe =
        runTool("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                "stream=nb_read_frames -of csv=p=0 " +
                quoted(dir.path("clip.partial.mkv")));
    ASSERT_EQ(probe.status, 0) << probe.output;
    EXPECT_GE(std::stoi(probe.output), 1) << probe.output;
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"clip.partial.mkv", "f"}));
}

} // namespace
