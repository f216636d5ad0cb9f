// The stored ZIP archive read back by Info-ZIP's unzip: every entry's bytes, its UTF-8 name,
// and the archive's own checks (CRC-32, sizes, offsets, the central directory).
#include <gtest/gtest.h>

#include <string>

#include "files/stored_zip.h"
#include "tool_run.h"

namespace {

using tooltest::quoted;
using tooltest::runTool;

TEST(StoredZip, CrcOfTheStandardCheckString) {
    const std::string nine = "123456789";
    EXPECT_EQ(files::crc32(reinterpret_cast<const std::uint8_t*>(nine.data()), nine.size()),
              0xCBF43926u);
    // Continued over two halves it is the same.
    const auto* p = reinterpret_cast<const std::uint8_t*>(nine.data());
    EXPECT_EQ(files::crc32(p + 4, 5, files::crc32(p, 4)), 0xCBF43926u);
}

TEST(StoredZip, UnzipReadsEveryEntryBackWhole) {
    tooltest::ScratchFolder scratch;
    std::string binary(70000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 131) ^ (i >> 7));
    const struct {
        std::string name, content;
    } entries[] = {{"check/quavel1-check.txt", "Result: all 3 moments match\r\n"},
                   {"check/frame.png", binary},
                   {"check/Zoë ✓.txt", "non-ASCII name"},
                   {"check/empty", ""}};
    std::vector<files::ZipEntry> list;
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        const std::string path = scratch.path("in" + std::to_string(i));
        tooltest::writeText(path, entries[i].content);
        list.push_back({entries[i].name, path});
    }
    const std::string zip = scratch.path("check.zip");
    std::string error;
    ASSERT_TRUE(files::writeStoredZip(zip, list, &error)) << error;

    const tooltest::ToolRun test = runTool("unzip -t " + quoted(zip));
    EXPECT_EQ(test.status, 0) << test.output;
    EXPECT_NE(test.output.find("No errors detected"), std::string::npos) << test.output;
    const tooltest::ToolRun listing = runTool("unzip -Z1 " + quoted(zip));
    EXPECT_EQ(listing.output, "check/quavel1-check.txt\ncheck/frame.png\ncheck/Zoë ✓.txt\n"
                              "check/empty\n");
    for (const auto& e : entries) {
        const std::string out = scratch.path("out");
        ASSERT_EQ(
            runTool("unzip -p " + quoted(zip) + " " + quoted(e.name) + " > " + quoted(out)).status,
            0)
            << e.name;
        EXPECT_EQ(tooltest::readText(out), e.content) << e.name;
    }
}

TEST(StoredZip, AMissingInputIsRefusedAndNothingIsWritten) {
    tooltest::ScratchFolder scratch;
    std::string error;
    EXPECT_FALSE(
        files::writeStoredZip(scratch.path("x.zip"), {{"a", scratch.path("none")}}, &error));
    EXPECT_NE(error.find("none"), std::string::npos) << error;
    EXPECT_EQ(scratch.entries(), std::vector<std::string>{});
}

} // namespace
