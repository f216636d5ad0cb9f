// The committed soundtrack as the show plays it: once through, in time with the picture.
#include "soundtrack_render.h"

#include "demo/show_tracks.h"

#include <gtest/gtest.h>

#include <string>

namespace soundtrack {
namespace {

constexpr double kShowRowsPerSecond = 17.0;
constexpr double kOnsetTolerance = 0.010;

double showTime(int row) {
    return row / kShowRowsPerSecond;
}

// The logo's strobes (389 to 399) and the explosion build-up (2144 to 2159).
const int kStrobeRows[] = {389, 390, 391,  392,  393,  394,  395,  396,  397,
                           398, 399, 2144, 2148, 2152, 2154, 2156, 2158, 2159};

TEST(Soundtrack, PlaysOnceFor368SecondsBelowFullScaleThenFallsSilent) {
    const Rendering mix = render(committedModule());
    EXPECT_NEAR(double(mix.audibleFrames) / kSampleRate, 368.0, 0.05);
    EXPECT_TRUE(mix.silentAfterLimit);
    EXPECT_LT(mix.peak, 1.0f);
    EXPECT_GT(mix.peak, 0.25f) << "the mix is far too quiet";

    // The fade in and the fade out: quiet in the first and the last half second, loud in
    // between.
    const auto meanSquare = [&](double from, double to) {
        const size_t a = size_t(from * kSampleRate / kHopFrames);
        const size_t b = size_t(to * kSampleRate / kHopFrames);
        double sum = 0;
        for (size_t h = a; h < b && h < mix.hopEnergy.size(); ++h)
            sum += mix.hopEnergy[h];
        return sum / double((b - a) * kHopFrames);
    };
    const double main = meanSquare(30, 60);
    EXPECT_GT(main, 1e-3);
    EXPECT_LT(meanSquare(0, 0.5), main / 100);
    EXPECT_LT(meanSquare(367.5, 368.0), main / 100);
}

// (How far the heart flashes' kicks stand out of the mix is the composer's own test.)
TEST(Soundtrack, EveryStrobeHasADrumOnset) {
    const std::vector<uint8_t> module = committedModule();
    const Rendering stems[] = {render(module, 1u << kKickChannel),
                               render(module, 1u << kSnareChannel),
                               render(module, 1u << kPercChannel)};
    const auto onDrums = [&](double seconds) {
        for (const Rendering& stem : stems)
            if (hasOnsetNear(stem, seconds, kOnsetTolerance))
                return true;
        return false;
    };

    std::string missed;
    for (int row : kStrobeRows)
        if (!onDrums(showTime(row)))
            missed += " " + std::to_string(row);
    EXPECT_EQ(missed, "") << "show rows without a drum onset";

    // The detector must not fire on decaying drums: three show rows after each flash of the
    // first main part the kick only rings, and in the middle of the credits no drum plays.
    const Rendering& kick = stems[0];
    std::string false_onsets;
    for (std::uint32_t r : show::heartFlashRows())
        if (r < 1900 && hasOnsetNear(kick, showTime(int(r) + 3), 0.002))
            false_onsets += " " + std::to_string(r + 3);
    for (int row = 1930; row < 2100; row += 10)
        if (onDrums(showTime(row)))
            false_onsets += " " + std::to_string(row);
    EXPECT_EQ(false_onsets, "") << "onsets found where no drum is struck";
}

} // namespace
} // namespace soundtrack
