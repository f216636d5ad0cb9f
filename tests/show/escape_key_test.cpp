// Escape in the frame loop, on the show's window and device (no graph: the picture is a
// stand-in). A process of its own, run alone: the keyboard focus it depends on is taken by
// any other window that appears on the display.
#include <SDL.h>
#include <gtest/gtest.h>

#include <thread>

#include "app/frame_loop.h"
#include "app/show.h"
#include "music/audio_output.h"
#include "platform/linux/win32/sdl_window_access.h"

namespace {

class CountedPicture final : public PlayheadPicture {
public:
    void draw(float, std::uint32_t, float) override {}
    void advanceState(float, std::uint32_t, float) override {}
    void redrawLast() override {}
    void restart() override {}
};

void pushToShow(DemoApp& app, SDL_Event event) {
    const Uint32 id = SDL_GetWindowID(quavelSdlWindowFromHwnd(app.window));
    if (event.type == SDL_WINDOWEVENT)
        event.window.windowID = id;
    else
        event.key.windowID = id;
    SDL_PushEvent(&event);
}

void tapEscape(DemoApp& app) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    key.key.keysym.sym = SDLK_ESCAPE;
    pushToShow(app, key);
    key.type = SDL_KEYUP;
    key.key.state = SDL_RELEASED;
    pushToShow(app, key); // tapped, not held: "pressed since the last query" still counts
}

// Escape ends the show after the next presented frame, but only pressed while the show's
// window has the keyboard: GetAsyncKeyState also sees Escape pressed in other programs, and a
// press from before the first frame (the one that closed a notice) is forgotten. The display
// is kept on while the show plays and let go after.
TEST(ShowFrameLoop, EscapeCountsOnlyInTheShowsWindowAndOnlyOnceItPlays) {
    static DemoApp app;
    std::string error;
    ASSERT_TRUE(startShowDevice(app, error, WindowShown::OnScreen, kFullSize)) << error;
    // The X server's own focus change for the new window comes first, and is let pass.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);

    const struct {
        const char* name;
        bool tapBefore, tapWhilePlaying, showHasKeyboard;
        std::uint32_t frames;
        bool quit;
    } cases[] = {
        {"tapped in the show's window", false, true, true, 2, true},
        {"tapped before the first frame", true, false, true, 3, false},
        {"tapped in another program's window", false, true, false, 3, false},
    };
    for (const auto& c : cases) {
        app.quitRequested = false;
        SetForegroundWindow(app.window);
        if (!c.showHasKeyboard) {
            SDL_Event lost{};
            lost.type = SDL_WINDOWEVENT;
            lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
            pushToShow(app, lost);
        }
        if (c.tapBefore)
            tapEscape(app);
        CountedPicture picture;
        Playhead playhead(picture, 60.0);
        int call = 0;
        bool screenSaverHeldOff = true;
        // The tap lands after the first pass's Escape test; the fourth reading ends the show.
        const FrameLoopResult r = runFrameLoop(app, playhead, [&](const DemoApp&) {
            if (call == 0 && c.tapWhilePlaying)
                tapEscape(app);
            screenSaverHeldOff = screenSaverHeldOff && !SDL_IsScreenSaverEnabled();
            return call++ < 3 ? 10.0f : 400.0f;
        });
        EXPECT_EQ(r.framesRendered, c.frames) << c.name;
        EXPECT_EQ(app.quitRequested, c.quit) << c.name;
        EXPECT_TRUE(screenSaverHeldOff) << c.name;
        EXPECT_TRUE(SDL_IsScreenSaverEnabled()) << c.name;
    }
}

} // namespace
