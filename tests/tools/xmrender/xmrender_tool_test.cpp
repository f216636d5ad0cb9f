// xmrender as a user runs it: refusals with one line and the agreed exit code, outputs that
// never destroy what is there, and an interrupted run that leaves nothing behind.

#include "player_test_support.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tooltest;
using namespace xmtest;

namespace {

const std::string kTool = XMRENDER_TOOL;

// threeRowSong lasts 2646 frames, 0.06 s.
constexpr uint32_t kSongFrames = 3 * 882;
constexpr size_t kFloatHeader = 58;

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes, size_t count) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(count));
}

uint32_t read32(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

ToolRun xmrender(const ScratchFolder& folder, const std::string& arguments) {
    return runTool("cd " + quoted(folder.path("")) + " && " + quoted(kTool) + " " + arguments);
}

struct Fixture {
    ScratchFolder folder;
    Fixture() {
        const std::vector<uint8_t> song = threeRowSong().build();
        writeBytes(folder.path("song.xm"), song, song.size());
        writeBytes(folder.path("cut.xm"), song, song.size() - 37);
        mkdir(folder.path("dir").c_str(), 0700);
    }
};

TEST(XmrenderTool, RefusesWithOneLineAndTheAgreedExitCode) {
    Fixture f;
    const struct {
        const char* arguments;
        int status;
        const char* reason;
    } cases[] = {
        {"--seconds 1e30 song.xm out.wav", 2, "--seconds: '1e30' is outside the range"},
        {"--seconds=nan song.xm out.wav", 2, "--seconds: 'nan' is not a number"},
        {"--seconds 1e-9 song.xm out.wav", 2, "less than one frame"},
        {"--seconds 6000 --rate 96000 song.xm out.wav", 2, "holds at most 5592 s"},
        {"--rate 44100.5 song.xm out.wav", 2, "--rate: '44100.5' is not a whole number"},
        {"--loops 256 song.xm out.wav", 2, "--loops: '256' is outside the range"},
        {"--loops 0 song.xm out.wav", 2, "give --seconds too"},
        {"--start -1 song.xm out.wav", 2, "--start: '-1' is outside the range"},
        {"--bogus song.xm out.wav", 2, "unknown option '--bogus'"},
        {"song.xm", 2, "no output file given"},
        {"dir out.wav", 1, "'dir' is a directory"},
        {"missing.xm out.wav", 1, "cannot read 'missing.xm': No such file or directory"},
        {"song.xm song.xm", 1, "'song.xm' is the input file"},
        {"song.xm dir", 1, "'dir' is a directory"},
        {"song.xm nowhere/out.wav", 1, "No such file or directory"},
        {"--start 400 song.xm out.wav", 1, "past the end of the song (0.060 s)"},
        {"--start 400 song.xm -", 1, "past the end of the song (0.060 s)"},
    };
    for (const auto& c : cases) {
        const ToolRun run = xmrender(f.folder, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << c.arguments << "\n"
                                                                << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_EQ(run.output.rfind("xmrender: ", 0), 0u) << run.output;
    }
    EXPECT_EQ(f.folder.entries(), (std::vector<std::string>{"cut.xm", "dir", "song.xm"}));
    const ToolRun help = xmrender(f.folder, "-h");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("usage: xmrender"), std::string::npos);
}

TEST(XmrenderTool, WritesThroughLinksStreamsInPlaceAndNamesMissingBytes) {
    Fixture f;
    ASSERT_EQ(xmrender(f.folder, "song.xm plain.wav").status, 0);
    const std::string plain = readText(f.folder.path("plain.wav"));
    ASSERT_EQ(plain.size(), kFloatHeader + 8 * kSongFrames);
    EXPECT_EQ(read32(plain, kFloatHeader - 4), 8 * kSongFrames);

    // A link to an existing file: the file gets the sound, the link stays a link.
    writeText(f.folder.path("target.wav"), "old");
    ASSERT_EQ(symlink("target.wav", f.folder.path("link.wav").c_str()), 0);
    ASSERT_EQ(xmrender(f.folder, "song.xm link.wav").status, 0);
    struct stat info {};
    ASSERT_EQ(lstat(f.folder.path("link.wav").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_TRUE(readText(f.folder.path("target.wav")) == plain);

    // Standard output and a FIFO get the same bytes, the length stated up front.
    EXPECT_EQ(xmrender(f.folder, "song.xm - > piped.wav").status, 0);
    EXPECT_TRUE(readText(f.folder.path("piped.wav")) == plain);
    const std::string fifo = f.folder.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = readText(fifo); });
    const ToolRun streamed = xmrender(f.folder, "song.xm fifo");
    EXPECT_EQ(streamed.status, 0) << streamed.output;
    if (streamed.status != 0) {
        close(open(fifo.c_str(), O_WRONLY)); // lets the reader finish
    }
    reader.join();
    EXPECT_TRUE(received == plain);
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // A truncated module plays, with a note of how much is missing.
    const ToolRun cut = xmrender(f.folder, "cut.xm cut.wav");
    EXPECT_EQ(cut.status, 0) << cut.output;
    EXPECT_NE(cut.output.find("'cut.xm' is truncated: it lacks 37 bytes"), std::string::npos)
        << cut.output;
    EXPECT_EQ(xmrender(f.folder, "song.xm whole.wav").output, "");
}

// Ctrl-C or SIGTERM during a long render removes the temporary file; no output appears.
TEST(XmrenderTool, AStoppedRenderLeavesNothingBehind) {
    for (int signal : {SIGINT, SIGTERM}) {
        Fixture f;
        const std::string song = f.folder.path("song.xm"), out = f.folder.path("long.wav");
        const char* argv[] = {kTool.c_str(), "--loops",   "0",    "--seconds",
                              "86400",       "--rate",    "1000", "--pcm16",
                              song.c_str(),  out.c_str(), nullptr};
        pid_t child = 0;
        ASSERT_EQ(
            posix_spawn(&child, kTool.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ),
            0);
        // Wait for the temporary file to appear: the render is under way.
        for (int i = 0; i < 5000 && f.folder.entries().size() < 4; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(f.folder.entries().size(), 4u);
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(f.folder.entries(), (std::vector<std::string>{"cut.xm", "dir", "song.xm"}));
    }
}

} // namespace
