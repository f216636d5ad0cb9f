// The composer tool: deterministic output that matches the committed module.
#include "composer.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace composer
