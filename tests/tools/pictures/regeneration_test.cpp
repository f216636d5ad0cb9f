// Running the generators again reproduces every committed file byte for byte.

#include "decoded_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string shellQuoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

TEST(Regeneration, GeneratorsReproduceTheCommittedFiles) {
    fs::path dir =
        fs::temp_directory_path() /
        ("quavel-pictures-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + std::to_string(std::rand()));
    fs::create_directories(dir);
    ASSERT_TRUE(run(std::string(PICTURE_ATLAS_TOOL) + " --assets " + shellQuoted(dir) +
                    " --shaders " + shellQuoted(dir) + " --source " + shellQuoted(dir)));
    ASSERT_TRUE(run(std::string(PICTURE_LOGO_TOOL) + " --assets " + shellQuoted(dir)));
    ASSERT_TRUE(run(std::string(PICTURE_CREDITS_TOOL) + " --assets " + shellQuoted(dir)));
    ASSERT_TRUE(
        run(std::string(PICTURE_ICON_TOOL) + " --output " + shellQuoted(dir / "quavel1.ico")));
    ASSERT_TRUE(run(std::string(MESSAGE_ENCODER_TOOL) + " --input " +
                    shellQuoted(assetPath("scroll_message.txt")) + " --output " +
                    shellQuoted(dir / "scroll_message.codes")));
    const fs::path assets = QUAVEL_ASSET_DIR, shaders = QUAVEL_SHADER_DIR;
    const std::pair<fs::path, const char*> files[] = {
        {assets, "letterAtlas.png"},
        {assets, "letterAtlas2.png"},
        {assets, "logoTex.png"},
        {assets, "logoTex2.png"},
        {assets, "logoTex3.png"},
        {assets, "logoTex4.png"},
        {assets, "glowstuffmap.png"},
        {assets, "heartImage.png"},
        {assets, "CredsImage.png"},
        {assets, "scroll_message.codes"},
        {shaders, "glyph_tables.hlsli"},
        {assets.parent_path(), "glyph_table.h"},
        {assets.parent_path(), "glyph_table.cpp"},
        {assets.parent_path().parent_path() / "app", "quavel1.ico"},
    };
    for (const auto& [folder, name] : files) {
        std::vector<std::uint8_t> committed = readBytes((folder / name).string());
        std::vector<std::uint8_t> fresh = readBytes((dir / name).string());
        EXPECT_FALSE(committed.empty()) << name;
        EXPECT_TRUE(committed == fresh) << name << " differs from a fresh run";
    }
    fs::remove_all(dir);
}

} // namespace
