// The frame loop against what Present says, made to say it by the Direct3D layer's debug
// switches (read once, so they are set before anything starts): from the second Present the
// window cannot be seen for 400 ms, and the fifth finds the device removed. Time comes from
// the clock the show uses without a sound card.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/frame_loop.h"
#include "app/show.h"
#include "app/silent_clock.h"

namespace {

constexpr unsigned kOccludedMs = 400;

const bool switchesSet = [] {
    setenv("QUAVEL_D3D11_OCCLUDE_AT_PRESENT", "2:400", 1);
    setenv("QUAVEL_D3D11_REMOVE_AT_PRESENT", "5", 1);
    return true;
}();

// Draws nothing; remembers when each frame was drawn.
class TimedPicture final : public PlayheadPicture {
public:
    std::vector<float> drawnAt;
    void draw(float time, std::uint32_t, float) override { drawnAt.push_back(time); }
    void advanceState(float, std::uint32_t, float) override {}
    void redrawLast() override {}
    void restart() override {}
};

TEST(PresentResults, HiddenWindowSleepsWhileTimeGoesOnAndALostDeviceEndsTheShow) {
    ASSERT_TRUE(switchesSet);
    static DemoApp app;
    std::string error;
    ASSERT_TRUE(startShowDevice(app, error, WindowShown::OnScreen, kFullSize)) << error;
    TimedPicture picture;
    Playhead playhead(picture, 60.0);
    SilentClock clock;
    FrameLoopHooks hooks;
    unsigned passes = 0;
    hooks.betweenFrames = [&] { ++passes; };
    // A loop that does not stop by itself is ended after 10 s (as if at the show's end).
    const FrameLoopResult r = runFrameLoop(
        app, playhead,
        [&](const DemoApp&) {
            const float t = clock.seconds();
            return t < 10.0f ? t : 400.0f;
        },
        hooks);

    // Frames 0 and 1 are drawn (the second Present finds the window hidden); nothing is drawn
    // while it stays hidden; frames 2 to 4 follow, and the fifth Present ends the loop.
    ASSERT_EQ(picture.drawnAt.size(), 5u);
    EXPECT_EQ(r.framesRendered, 4u) << "the frame whose Present failed is not counted";
    EXPECT_FLOAT_EQ(picture.drawnAt[0], 0.0f) << "the clock starts at the first frame";
    const float hidden = picture.drawnAt[2] - picture.drawnAt[1];
    EXPECT_GE(hidden, kOccludedMs / 1000.0f - 0.01f) << "the clock went on while hidden";
    // Polled every kOccludedPollMs: a loop that spins would pass thousands of times.
    const unsigned hiddenPasses = passes - 5;
    EXPECT_GE(hiddenPasses, kOccludedMs / kOccludedPollMs / 2) << "the window was polled";
    EXPECT_LE(hiddenPasses, kOccludedMs / kOccludedPollMs + 5) << "the loop spun while hidden";

    EXPECT_NE(r.deviceLost.find("Present: 0x887A0005 (DXGI_ERROR_DEVICE_REMOVED)"),
              std::string::npos)
        << r.deviceLost;
    EXPECT_NE(r.deviceLost.find("reason: 0x887A0006 (DXGI_ERROR_DEVICE_HUNG)"), std::string::npos)
        << r.deviceLost;
    EXPECT_EQ(r.deviceLost.find('\n'), std::string::npos) << "one line";
}

} // namespace
