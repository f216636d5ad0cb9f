// Keys written by quavel1-tracks --import and compiled into this test in place of the show's
// own key data: the keys the build gives must be exactly those of the editor file. The build
// runs the tool on ROCKET_FILE (the show's own export, or a hand-made edit).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "demo/show_tracks.h"
#include "rocket_file.h"

namespace {

RocketFile readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return readRocket(text.str());
}

TEST(IMPORT_SUITE, TheBuiltKeysAreTheFilesKeys) {
    const RocketFile file = readFile(ROCKET_FILE);
    SyncTimeline built;
    show::fillTracks(built);
    const auto params = show::parameterList();
    ASSERT_EQ(file.tracks.size(), params.size());
    std::size_t keys = 0;
    for (std::size_t t = 0; t < params.size(); ++t) {
        SCOPED_TRACE(params[t].name);
        ASSERT_EQ(file.tracks[t].name, params[t].name);
        const auto& expected = file.tracks[t].keys;
        const auto& got = built.tracks[t].keys;
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].row, expected[k].row);
            EXPECT_EQ(std::memcmp(&got[k].value, &expected[k].value, 4), 0) << got[k].value;
            EXPECT_EQ(got[k].interpolation, expected[k].interpolation);
        }
        keys += got.size();
    }
    EXPECT_EQ(keys, EXPECTED_KEY_COUNT);
}

#ifdef WITH_FILE_FORMAT_TESTS
TEST(RocketFile, RefusesMalformedFiles) {
    const char* const kBad[] = {
        "<sync rows=\"10\"><tracks><track name=\"a\"><key row=\"1\"",                // cut off
        "<sync rows=\"10\"><key row=\"1\" value=\"1\" interpolation=\"0\"/></sync>", // no track
        "<sync rows=\"x\"/>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"-1\" value=\"1\" "
        "interpolation=\"0\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"4294967296\" value=\"1\" "
        "interpolation=\"0\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"1\" value=\"nan\" "
        "interpolation=\"0\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"1\" value=\"1\" "
        "interpolation=\"5\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"1\" value=\"1\" "
        "interpolation=\"0\"/><key row=\"1\" value=\"2\" interpolation=\"0\"/></track></tracks>"
        "</sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"/><track name=\"a\"/></tracks></sync>",
    };
    for (const char* text : kBad)
        EXPECT_THROW(readRocket(text), std::runtime_error) << text;
}

TEST(RocketFile, WritesNamesAndValuesThatReadBackExactly) {
    RocketFile file{12,
                    {{"a<&\"b\tc\nd\re",
                      {{3, 0.1f, Quartic}, {7, -1.0e-6f, Quadratic}, {9, 1.0f / 3.0f, Step}}}}};
    const RocketFile back = readRocket(writeRocket(file));
    EXPECT_EQ(back.rows, 12u);
    ASSERT_EQ(back.tracks.size(), 1u);
    EXPECT_EQ(back.tracks[0].name, "a<&\"b\tc\nd\re");
    ASSERT_EQ(back.tracks[0].keys.size(), 3u);
    EXPECT_EQ(back.tracks[0].keys[0].value, 0.1f);
    EXPECT_EQ(back.tracks[0].keys[0].interpolation, Quartic);
    EXPECT_EQ(back.tracks[0].keys[1].row, 7u);
    EXPECT_EQ(back.tracks[0].keys[1].value, -1.0e-6f);
    EXPECT_EQ(back.tracks[0].keys[2].value, 1.0f / 3.0f);
}
#endif

} // namespace
