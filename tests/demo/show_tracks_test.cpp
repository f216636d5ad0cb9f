#include "demo/show_tracks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

struct TrackFacts {
    std::size_t keys;
    std::uint32_t firstRow, lastRow;
};

// Key counts and first and last key rows of the 31 tracks, as the show's timing needs them.
constexpr TrackFacts kFacts[31] = {
    {0, 0, 0},      {0, 0, 0},      {0, 0, 0},     {0, 0, 0},       {0, 0, 0},     {0, 0, 0},
    {0, 0, 0},      {0, 0, 0},      {8, 0, 6256},  {13, 0, 7000},   {4, 0, 6200},  {1042, 0, 6095},
    {5, 0, 6065},   {4, 193, 6065}, {35, 0, 6200}, {45, 0, 6123},   {18, 0, 6112}, {4, 0, 2160},
    {4, 0, 2160},   {5, 0, 6072},   {11, 0, 6200}, {8, 0, 6096},    {62, 0, 6258}, {4, 2159, 6064},
    {0, 0, 0},      {1, 0, 0},      {3, 0, 2188},  {2, 2159, 2188}, {12, 0, 398},  {666, 400, 5993},
    {7, 308, 6064},
};

class ShowTracks : public ::testing::Test {
protected:
    void SetUp() override { show::fillTracks(timeline); }
    float at(std::uint32_t track, float row) const { return timeline.evaluate(track, row / 17.0f); }
    SyncTimeline timeline;
};

TEST_F(ShowTracks, TempoAndTrackShapesAreTheShows) {
    EXPECT_EQ(timeline.bpm, 127.5f);
    EXPECT_EQ(timeline.rowsPerBeat, 8u);
    EXPECT_EQ(timeline.rowRate(), 17.0f);
    ASSERT_EQ(timeline.tracks.size(), 31u);
    for (std::size_t i = 0; i < 31; ++i) {
        const auto& keys = timeline.tracks[i].keys;
        ASSERT_EQ(keys.size(), kFacts[i].keys) << "track " << i;
        if (keys.empty())
            continue;
        EXPECT_EQ(keys.front().row, kFacts[i].firstRow) << "track " << i;
        EXPECT_EQ(keys.back().row, kFacts[i].lastRow) << "track " << i;
        for (std::size_t k = 1; k < keys.size(); ++k)
            ASSERT_LT(keys[k - 1].row, keys[k].row) << "track " << i << " key " << k;
        for (const SyncKey& key : keys)
            EXPECT_TRUE(key.interpolation == Step || key.interpolation == Linear ||
                        key.interpolation == Smooth)
                << "track " << i;
    }
}

TEST_F(ShowTracks, FadeInStartsBlackAndRampsInBeforeRow64) {
    EXPECT_EQ(timeline.evaluate(show::FadeIn, 0.0f), 0.0f);
    EXPECT_EQ(at(show::FadeIn, 3.9f), 0.0f);
    float early = at(show::FadeIn, 20.0f), later = at(show::FadeIn, 40.0f);
    EXPECT_GT(early, 0.0f);
    EXPECT_GT(later, early);
    EXPECT_GT(at(show::FadeIn, 63.9f), 0.99f);
    EXPECT_EQ(at(show::FadeIn, 100.0f), 1.0f);
    EXPECT_EQ(timeline.evaluate(show::FadeIn, 368.0f), 0.0f);
}

TEST_F(ShowTracks, HeartFlashesLastExactlyOneRow) {
    std::vector<std::uint32_t> rows = show::heartFlashRows();
    ASSERT_EQ(rows.size(), 333u);
    std::set<std::uint32_t> flash(rows.begin(), rows.end());
    for (std::uint32_t row = 390; row < 6100; ++row) {
        float expected = flash.count(row) ? 1.0f : 0.0f;
        ASSERT_EQ(at(show::HeartOpacity, row + 0.5f), expected) << "row " << row;
    }
}

TEST_F(ShowTracks, ExplosionFrameRampsThenHolds) {
    const std::uint32_t explosionframe = 27;
    EXPECT_EQ(at(explosionframe, 2150.0f), 0.0f);
    EXPECT_NEAR(at(explosionframe, 2159.0f + 29.0f / 2.0f), 400.5f, 0.5f);
    EXPECT_EQ(at(explosionframe, 2188.5f), 800.0f);
    EXPECT_EQ(at(explosionframe, 6000.0f), 800.0f);
}

TEST(ShowParameters, ThirtyOneFloatsWithTheirDefaults) {
    auto list = show::parameterList();
    ASSERT_EQ(list.size(), 31u);
    EXPECT_STREQ(list[0].name, "CameraPosX");
    EXPECT_STREQ(list[30].name, "credsvisibility");
    EXPECT_STREQ(list[show::LogoGlow].name, "LogoGlow");
    EXPECT_STREQ(list[show::HeartOpacity].name, "heartOpacity");
    float scroll;
    std::memcpy(&scroll, list[9].value, 4);
    EXPECT_EQ(scroll, -7.0f);
    for (const auto& p : list)
        EXPECT_EQ(p.type, Fennick::gfx::ParamType::Float) << p.name;
}

} // namespace
