#include <gtest/gtest.h>

#include "player_test_support.h"

using namespace xmtest;

namespace {

PlayerPtr playVolumeColumn(std::vector<uint8_t> column, uint16_t tempo = 4) {
    XmModule m = moduleWithSample(constantSample(60000, 10));
    m.tempo = tempo;
    m.cell(0, 0, 0) = {49, 1, 0, 0, 0};
    for (size_t r = 0; r < column.size(); ++r) {
        m.cell(0, static_cast<int>(r + 1), 0).volume = column[r];
    }
    return createPlayer(m.build());
}

} // namespace

TEST(VolumeColumn, SetAndSlideVolume) {
    // 0x30 sets 32/64; 0x55 does nothing; 0x62 slides down 2 per later tick; 0x71 up 1;
    // 0x83 fine down 3 on tick 0; 0x92 fine up 2.
    PlayerPtr p = playVolumeColumn({0x30, 0x55, 0x62, 0x71, 0x83, 0x92, 0x0F});
    PlayerChannel& c = p->channels[0];
    const int sixtyFourths[] = {32, 32, 26, 29, 26, 28, 28}; // after each row
    runTicks(p.get(), 4);
    for (int r = 0; r < 7; ++r) {
        runTicks(p.get(), 4);
        EXPECT_FLOAT_EQ(c.volume, sixtyFourths[r] / 64.0f) << r;
    }
}

TEST(VolumeColumn, PanningSetAndSlides) {
    PlayerPtr p = playVolumeColumn({0xC4, 0xD2, 0xE5, 0xEF});
    PlayerChannel& c = p->channels[0];
    const int ticksThenPanning[][2] = {{5, 68}, {8, 62}, {4, 77}, {4, 122}}; // panning x 255
    for (const auto& [ticks, panning] : ticksThenPanning) {
        runTicks(p.get(), ticks);
        EXPECT_FLOAT_EQ(c.panning, panning / 255.0f) << panning;
    }
}

TEST(VolumeColumn, VibratoSpeedDepthAndTonePortamento) {
    PlayerPtr p = playVolumeColumn({0xA6, 0xB4, 0xB0, 0xF2});
    PlayerChannel& c = p->channels[0];
    runTicks(p.get(), 5);
    EXPECT_EQ(c.vibratoParam, 0x60);
    runTicks(p.get(), 4);
    EXPECT_EQ(c.vibratoParam, 0x64); // Bx with a depth stores it
    playerTick(p.get());
    EXPECT_EQ(c.vibratoTicks, 6);
    EXPECT_EQ(c.vibratoOffset, 0.0f); // phase 0; the speed 6 moves it on for the next tick
    EXPECT_EQ(c.vibratoActive, 0);
    runTicks(p.get(), 6); // B0 keeps the depth and goes on
    EXPECT_EQ(c.vibratoParam, 0x64);
    EXPECT_EQ(c.vibratoTicks, 6 * 6);
    EXPECT_EQ(c.vibratoOffset, 6.0f); // sine 49 at phase 30, x depth 4 / 32, truncated
    playerTick(p.get());
    EXPECT_EQ(c.tonePortamentoParam, 0x22);
}
