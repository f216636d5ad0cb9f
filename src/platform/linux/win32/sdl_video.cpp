#include "platform/linux/win32/sdl_video.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/linux/win32/foreground_window.h"
#include "platform/linux/win32/key_state.h"

namespace quavel::win32 {

namespace {

std::atomic<bool> videoUp{false};
std::thread::id videoThread;
bool failureReported = false;

bool showsWindows(const char* driver) {
    return driver != nullptr && std::strcmp(driver, "offscreen") != 0 &&
           std::strncmp(driver, "dummy", 5) != 0;
}

// The drivers SDL may try, in its own order. Without WAYLAND_DISPLAY there is no compositor
// to find, and trying one makes libwayland print "XDG_RUNTIME_DIR is invalid" when the
// session has no runtime directory (ssh, cron, containers): Wayland is then left out.
// SDL_VIDEODRIVER set by the user still wins over this list.
std::string driversFor(VideoUse use) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool compositorNamed = wayland != nullptr && *wayland != '\0';
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* name = SDL_GetVideoDriver(i);
        if (std::strcmp(name, "wayland") == 0 && !compositorNamed)
            continue;
        const bool offscreenFallback =
            use != VideoUse::ShownWindow && std::strcmp(name, "offscreen") == 0;
        if (!showsWindows(name) && !offscreenFallback)
            continue;
        drivers += drivers.empty() ? name : std::string(",") + name;
    }
    return drivers;
}

} // namespace

bool ensureVideo(VideoUse use) {
    if (videoUp.load(std::memory_order_acquire))
        return use != VideoUse::ShownWindow || showsWindows(SDL_GetCurrentVideoDriver());
    // SDL would otherwise turn the close of the last window into SDL_QUIT as well, and a
    // window procedure that declines WM_CLOSE would be asked twice.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // As on Windows, the screen saver runs unless the program asks for the display
    // (SetThreadExecutionState); SDL would turn it off for every program.
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1", SDL_HINT_DEFAULT);
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driversFor(use).c_str(), SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (use == VideoUse::HiddenWindow && !failureReported) {
            std::fprintf(stderr, "win32: SDL video could not start: %s\n", SDL_GetError());
            failureReported = true;
        }
        return false;
    }
    // A driver the user named may still be one that shows nothing.
    if (use == VideoUse::ShownWindow && !showsWindows(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    installKeyStateWatcher();
    installFocusWatcher();
    videoThread = std::this_thread::get_id();
    videoUp.store(true, std::memory_order_release);
    return true;
}

bool onVideoThread() {
    return videoUp.load(std::memory_order_acquire) && std::this_thread::get_id() == videoThread;
}

} // namespace quavel::win32
