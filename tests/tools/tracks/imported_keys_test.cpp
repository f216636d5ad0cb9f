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
    EXPECT_GT(keys, 0u) << "a file without keys proves nothing";
}

} // namespace
