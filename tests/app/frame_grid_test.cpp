// The frame grid and the split of a capture into parts, against hand-worked numbers.
#include <gtest/gtest.h>

#include "app/frame_grid.h"

namespace {

TEST(FrameGrid, StartsLandOnTheFirstGridFrameAtOrAfterThem) {
    struct Case {
        double seconds, fps;
        std::int64_t frame;
    };
    const Case cases[] = {
        {0.0, 60.0, 0},    {150.0, 60.0, 9000}, {22.4, 1.25, 28},   // on the grid
        {4.15, 60.0, 249}, {8.3, 30.0, 249},    {0.28, 25.0, 7},    // 249.00000000000003 -> 249
        {0.001, 60.0, 1},  {8.0, 0.25, 2},      {8.1, 0.25, 3},     // between frames
        {30.0, 0.125, 4},  {1.0 / 3, 3.0, 1},   {10.0, 29.97, 300}, // 299.7 -> 300
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstGridFrameAtOrAfter(c.seconds, c.fps), c.frame) << c.seconds << " s";
}

TEST(FrameGrid, TimesAndStepsAreThoseOfARunFromZero) {
    // 1 / 3 s steps: time 2 / 3 rounds to 0.666666686f; the step to frame 2 is its difference
    // from frame 1's 0.333333343f, exactly as a run that keeps the previous time computes it.
    EXPECT_EQ(gridTime(0, 3.0), 0.0f);
    EXPECT_EQ(gridElapsed(0, 3.0), 0.0f);
    EXPECT_EQ(gridTime(2, 3.0), 0.666666686f);
    EXPECT_EQ(gridElapsed(2, 3.0), 0.666666686f - 0.333333343f);
    EXPECT_EQ(gridTime(9000, 60.0), 150.0f);
    // The show's 368 s end: 22080 frames at 60 fps, 92 at 0.25 fps, 11029 at 29.97 fps
    // (frame 11028 is at 367.968 s, 11029 at 368.001 s).
    EXPECT_EQ(gridFramesBefore(368.0, 60.0), 22080);
    EXPECT_EQ(gridFramesBefore(368.0, 0.25), 92);
    EXPECT_EQ(gridFramesBefore(368.0, 29.97), 11029);
}

TEST(FrameGrid, PartsTileTheRangeWithNearEqualShares) {
    // 9 frames from 5 in 4 parts: 3, 2, 2, 2.
    const FrameRange whole{5, 9};
    const FrameRange expected[] = {{5, 3}, {8, 2}, {10, 2}, {12, 2}};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(partOf(whole, k, 4).first, expected[k - 1].first) << "part " << k;
        EXPECT_EQ(partOf(whole, k, 4).count, expected[k - 1].count) << "part " << k;
    }
    // Any split: consecutive, no gap, no overlap, sizes differ by at most one.
    for (std::int64_t count : {0, 1, 7, 22080})
        for (int n : {1, 2, 3, 7, 100}) {
            std::int64_t next = 17, smallest = count, largest = 0;
            for (int k = 1; k <= n; ++k) {
                const FrameRange p = partOf({17, count}, k, n);
                ASSERT_EQ(p.first, next) << count << " in " << n << ", part " << k;
                next = p.end();
                smallest = std::min(smallest, p.count);
                largest = std::max(largest, p.count);
            }
            EXPECT_EQ(next, 17 + count);
            EXPECT_LE(largest - smallest, 1);
        }
}

} // namespace
