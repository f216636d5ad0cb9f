#include "demo/show_tracks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

class ShowTracks : public ::testing::Test {
protected:
    void SetUp() override { show::fillTracks(timeline); }
    float at(std::uint32_t track, float row) const { return timeline.evaluate(track, row / 17.0f); }
    SyncTimeline timeline;
};

// The rules every track follows, whatever its keys: rows increasing, modes the tracks know,
// and keys inside the show's rows, but for a last key that only ends the last ramp.
TEST_F(ShowTracks, TempoAndTheRulesOfEveryTrack) {
    EXPECT_EQ(timeline.bpm, 127.5f);
    EXPECT_EQ(timeline.rowsPerBeat, 8u);
    EXPECT_EQ(timeline.rowRate(), 17.0f);
    ASSERT_EQ(timeline.tracks.size(), 31u);
    const auto showRows = static_cast<std::uint32_t>(368.0f * timeline.rowRate()) + 1;
    for (std::size_t i = 0; i < 31; ++i) {
        const auto& keys = timeline.tracks[i].keys;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            SCOPED_TRACE("track " + std::to_string(i) + " key " + std::to_string(k));
            EXPECT_TRUE(keys[k].interpolation >= Step && keys[k].interpolation <= Quartic);
            EXPECT_TRUE(k == 0 || keys[k - 1].row < keys[k].row) << "rows increase";
            EXPECT_TRUE(k + 1 == keys.size() || keys[k].row < showRows) << "inside the show";
        }
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
