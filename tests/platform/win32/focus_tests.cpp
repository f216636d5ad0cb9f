// The foreground window of the Win32 layer. A process of its own, run alone: any other
// window that appears on the display takes the keyboard focus.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/test_window.h"

namespace quavel::test {
namespace {

// The foreground window: a window shown with an activating command, until another program's
// window takes the focus; a non-activating show leaves it where it was.
TEST(Win32Focus, ForegroundFollowsActivationAndFocus) {
    TestWindow show(WS_POPUP, 200, 100);
    EXPECT_NE(GetForegroundWindow(), show.handle()) << "hidden windows are not activated";
    ShowWindow(show.handle(), SW_SHOWDEFAULT);
    EXPECT_EQ(GetForegroundWindow(), show.handle());
    TestWindow other(WS_POPUP, 200, 100);
    SetForegroundWindow(show.handle());
    ShowWindow(other.handle(), SW_SHOWNA);
    EXPECT_EQ(GetForegroundWindow(), show.handle()) << "SW_SHOWNA does not activate";
    // The X server's own focus changes for the new windows arrive first, and are let pass.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    show.pump();
    EXPECT_TRUE(SetForegroundWindow(show.handle()));
    EXPECT_EQ(GetForegroundWindow(), show.handle());
    show.pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    show.pump();
    EXPECT_EQ(GetForegroundWindow(), nullptr) << "another program has the keyboard";
    other.pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    other.pump();
    EXPECT_EQ(GetForegroundWindow(), other.handle());
    other.pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    show.pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    show.pump();
    EXPECT_EQ(GetForegroundWindow(), show.handle()) << "back to the show";
}

} // namespace
} // namespace quavel::test
