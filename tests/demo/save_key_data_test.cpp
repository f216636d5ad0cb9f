// The editor's save: the keys land in a key data source, and a failed save keeps the old file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "demo/key_data_writer.h"
#include "demo/show_tracks.h"

namespace {

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SaveKeyData, WritesTheEditedKeysAndKeepsTheOldFileWhenRefused) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("save_key_data_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / "keys.cpp";

    SyncTimeline timeline;
    show::fillTracks(timeline);
    const std::string before = show::writeKeyData(timeline);
    timeline.tracks[0].keys.push_back({90000, 0.25f, 1});
    show::saveKeyData(timeline, path.string());
    const std::string saved = readAll(path);
    EXPECT_EQ(saved, show::writeKeyData(timeline));
    EXPECT_NE(saved, before);
    EXPECT_NE(saved.find("90000"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "no temporary";

    // A refused save (over the file it was read from) fails and leaves the file as it was.
    timeline.tracks[0].keys.pop_back();
    EXPECT_THROW(show::saveKeyData(timeline, path.string(), {path.string()}), std::runtime_error);
    EXPECT_EQ(readAll(path), saved);
    std::filesystem::remove_all(dir);
}

} // namespace
