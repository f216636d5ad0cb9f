// The composer tool: deterministic output that matches the committed module.
#include "composer.h"
#include "show_cues.h"
#include "soundtrack_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace composer {
namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int runComposer(const std::string& arguments) {
    const std::string command =
        std::string("\"") + QUAVEL_COMPOSER_PATH + "\" " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return status == -1 ? -1 : WEXITSTATUS(status);
}

TEST(Composer, TwoRunsWriteTheCommittedModuleByteForByte) {
    const std::vector<uint8_t> committed = readFile(QUAVEL_SOUNDTRACK_PATH);
    ASSERT_FALSE(committed.empty());
    const std::string base = ::testing::TempDir() + "composer_run_";
    for (int run = 0; run < 2; ++run) {
        const std::string path = base + std::to_string(run) + ".xm";
        ASSERT_EQ(runComposer("--output \"" + path + "\""), 0);
        EXPECT_TRUE(readFile(path) == committed)
            << "run " << run
            << " differs from the committed module; regenerate it with the "
               "generate-music target";
        std::remove(path.c_str());
    }
    EXPECT_TRUE(composeSoundtrackBytes() == committed);
}

// Usage errors exit with 2, an output that cannot be written with 1.
TEST(Composer, CommandLineHelpAndErrors) {
    EXPECT_EQ(runComposer("--help"), 0);
    EXPECT_EQ(runComposer(""), 2);
    EXPECT_EQ(runComposer("--bogus"), 2);
    EXPECT_EQ(runComposer("-o a.xm extra"), 2);
    EXPECT_EQ(runComposer("--output /nonexistent-dir/x.xm"), 1);
    EXPECT_EQ(runComposer("--output=" + ::testing::TempDir()), 1); // a directory
}

// Every heart flash lands on a kick that stands out of the full mix as our player renders it:
// the level rises by 3 dB or more within 10 ms of the flash at nearly all of them, and by at
// least 2 dB at every one.
TEST(Composer, EveryHeartFlashLandsOnAKickThatStandsOut) {
    const soundtrack::Rendering mix = soundtrack::render(composeSoundtrackBytes());
    const std::vector<int>& flashes = heartFlashRows();
    ASSERT_EQ(flashes.size(), 333u);
    int clear = 0;
    double smallest = 1e9;
    int weakest = -1;
    for (int row : flashes) {
        const double rise = soundtrack::riseNear(mix, row / 17.0);
        clear += rise >= 3.0;
        if (rise < smallest) {
            smallest = rise;
            weakest = row;
        }
    }
    std::printf("flashes with a rise of 3 dB or more: %d of %zu; smallest rise %.2f dB at row %d\n",
                clear, flashes.size(), smallest, weakest);
    EXPECT_GE(clear, int(std::ceil(0.95 * double(flashes.size()))));
    EXPECT_GE(smallest, 2.0) << "at show row " << weakest;
}

} // namespace
} // namespace composer
