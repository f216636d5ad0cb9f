// The quavel1 program and the capture tool, run as their own processes.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <stb/stb_image.h> // implemented by the engine

#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    // Mean of r, g and b over a box of pixels, 0..255.
    double mean(int x0, int y0, int x1, int y1) const {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                for (int c = 0; c < 3; ++c)
                    sum += rgba[(std::size_t(y) * width + x) * 4 + c];
        return sum / (3.0 * (x1 - x0) * (y1 - y0));
    }
};

Picture load(const fs::path& path) {
    Picture p;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 4);
    if (data) {
        p.rgba.assign(data, data + std::size_t(p.width) * p.height * 4);
        stbi_image_free(data);
    }
    return p;
}

// Captures run with no display server named at all: the tool renders offscreen.
int runCapture(const std::string& arguments) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " +
                                std::string(QUAVEL1_CAPTURE) + " " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path scratch(const char* name) {
    fs::path dir =
        fs::temp_directory_path() / ("quavel1-show-test-" + std::to_string(getpid())) / name;
    fs::remove_all(dir);
    return dir;
}

TEST(Capture, FirstFramesAreBlackWhileTheFadeIsClosed) {
    fs::path out = scratch("black");
    ASSERT_EQ(runCapture("--start 0 --frames 1 --out " + out.string()), 0);
    Picture p = load(out / "frame_000000.png");
    ASSERT_EQ(p.width, 1600);
    ASSERT_EQ(p.height, 900);
    EXPECT_LT(p.mean(0, 0, 1600, 900), 0.5);
}

TEST(Capture, TheLogoArrivesWithItsOpacity) {
    // Grid frames 28 and 29 at 1.25 fps, 22.4 s and 23.2 s: at 22.4 s (row 380) the logo's
    // opacity is still 0, at 23.2 s (row 394) it is 1. The logo sits in the upper middle of
    // the screen. Frames are named by their grid index.
    fs::path out = scratch("logo");
    ASSERT_EQ(runCapture("--start 22.4 --frames 2 --fps 1.25 --out " + out.string()), 0);
    Picture before = load(out / "frame_000028.png");
    Picture after = load(out / "frame_000029.png");
    ASSERT_EQ(before.width, 1600);
    ASSERT_EQ(after.width, 1600);
    const double logoBefore = before.mean(500, 110, 1100, 300);
    const double logoAfter = after.mean(500, 110, 1100, 300);
    EXPECT_GT(logoAfter, logoBefore + 30.0) << logoBefore << " -> " << logoAfter;
    EXPECT_FALSE(fs::exists(out / "frame_000030.png"));
    EXPECT_FALSE(fs::exists(out / "frame_000000.png"));
}

// The show program ends in order with exit code 1 when asked to stop (the window is closed
// through the termination request SDL turns into a close). Every hardware level below 11_0 (the
// Direct3D layer's debug switches stand in for a GPU limited to Direct3D 10 or 9, or none at
// all) takes WARP by one rule, which the show says once; with WARP gone too it stops with exit
// code 2, naming the adapter and its level (or that none offers 10_0) and what the show needs.
struct DeviceCase {
    std::string name;
    const char* hardwareLevel; // QUAVEL_D3D11_HARDWARE_LEVEL, or null
    bool noWarp;
    bool noFactory6;  // QUAVEL_D3D11_NO_FACTORY6: DXGI cannot rank the adapters
    std::string said; // expected on stderr (a regular expression)
    int exitCode;
};

std::vector<DeviceCase> deviceCases() {
    const std::string silent = "waveout: [^\n]*without sound";
    std::vector<DeviceCase> cases = {
        {"hardware 11_0", nullptr, false, false, "^" + silent + "[^\n]*\n$", 1},
        {"hardware 11_0, the default adapter", nullptr, false, true, "^" + silent + "[^\n]*\n$", 1},
    };
    for (const char* level : {"10_1", "10_0", "9_3", "9_1", "none"}) {
        const bool named = level[0] == '1'; // 10_x: the adapter is asked for it and named
        const std::string hardware =
            "^quavel1: " +
            (named ? "the graphics adapter \"[^\"]+\" offers Direct3D feature level " +
                         std::string(level)
                   : std::string("no graphics adapter offers Direct3D feature level 10_0 or "
                                 "above")) +
            "; the show needs feature level 11_0, ";
        cases.push_back({std::string("hardware ") + level + ", WARP", level, false, false,
                         hardware + "so it runs in software [^\n]*\n" + silent, 1});
        cases.push_back({std::string("hardware ") + level + ", no WARP", level, true, false,
                         hardware + "and the software rasteriser \\(WARP\\) cannot be "
                                    "started \\(0x887A0004 \\(DXGI_ERROR_UNSUPPORTED\\)\\)\n$",
                         2});
    }
    return cases;
}

TEST(ShowProgram, EndsInOrderOrSaysWhyItCannotRunOnTheDevice) {
    for (const DeviceCase& c : deviceCases()) {
        int errPipe[2];
        ASSERT_EQ(pipe(errPipe), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(errPipe[1], 2);
            close(errPipe[0]);
            setenv("SDL_AUDIODRIVER", "dummy", 1); // the silent device announces itself on stderr
            if (c.hardwareLevel)
                setenv("QUAVEL_D3D11_HARDWARE_LEVEL", c.hardwareLevel, 1);
            if (c.noWarp)
                setenv("QUAVEL_D3D11_NO_WARP", "1", 1);
            if (c.noFactory6)
                setenv("QUAVEL_D3D11_NO_FACTORY6", "1", 1);
            execl(QUAVEL1_PROGRAM, QUAVEL1_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(errPipe[1]);
        // The silent audio device starts after the window, device and graph: the show is then
        // about to enter its frame loop. A show that cannot start ends the stream itself.
        std::string seen;
        char buffer[256];
        while (seen.find("without sound") == std::string::npos) {
            ssize_t n = read(errPipe[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            seen.append(buffer, std::size_t(n));
        }
        if (seen.find("without sound") != std::string::npos) {
            while (seen.back() != '\n' && read(errPipe[0], buffer, 1) == 1)
                seen += buffer[0];
            sleep(1);
            kill(child, SIGINT);
        }
        close(errPipe[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child) << c.name;
        ASSERT_TRUE(WIFEXITED(status)) << c.name << ": ended by a signal";
        EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << c.name << "; said:\n" << seen;
        EXPECT_TRUE(std::regex_search(seen, std::regex(c.said))) << c.name << "; said:\n" << seen;
    }
}

// Without a display the show does not run on invisibly: it says which display it could not
// open, on one line, and stops with exit code 2 (./run then renders the preview).
TEST(ShowProgram, RefusesToRunWithoutADisplayInOneLine) {
    const std::string command = "env -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR DISPLAY=:55 "
                                "SDL_AUDIODRIVER=dummy timeout 30 " +
                                std::string(QUAVEL1_PROGRAM);
    const tooltest::ToolRun ran = tooltest::runTool(command);
    EXPECT_EQ(ran.status, 2) << "124 is the timeout: the show ran on without a window";
    EXPECT_EQ(ran.output, "quavel1: cannot open the display ':55'\n");
}

// A device lost while the show plays (a driver reset, a GPU timeout: the Direct3D layer's
// debug switch removes it at the first Present) ends the show in order with exit code 2 and
// one line saying so, with Present's result and the device's reason; arguments with spaces
// and other characters reach the command line's parser whole.
TEST(ShowProgram, ALostDeviceEndsTheShowWithOneLineAndWholeArgumentsReachTheParser) {
    const std::string program = std::string(QUAVEL1_PROGRAM);
    const tooltest::ToolRun lost = tooltest::runTool(
        "SDL_AUDIODRIVER=dummy QUAVEL_D3D11_REMOVE_AT_PRESENT=1 timeout 300 " + program);
    EXPECT_EQ(lost.status, 2) << lost.output;
    const std::regex said("^waveout: [^\n]*without sound[^\n]*\nquavel1: the graphics device "
                          "stopped working at [0-9.]+ s into the show \\(Present: 0x887A0005 "
                          "\\(DXGI_ERROR_DEVICE_REMOVED\\); reason: 0x887A0006 "
                          "\\(DXGI_ERROR_DEVICE_HUNG\\)\\)[^\n]*\n$");
    EXPECT_TRUE(std::regex_search(lost.output, said)) << lost.output;

    const tooltest::ToolRun refused =
        tooltest::runTool(program + " --check " + tooltest::quoted("C:\\My renders\\Zoë") + " " +
                          tooltest::quoted("one argument, ünïcode"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.output, "quavel1: unexpected argument 'one argument, ünïcode' (usage: "
                              "quavel1 [--edit [HOST:PORT] [--shaders DIR] | --check [FOLDER]])\n");
}

} // namespace
