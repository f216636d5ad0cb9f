#include "platform/linux/win32/sdl_video.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/linux/win32/key_state.h"

namespace quavel::win32 {

namespace {

std::atomic<bool> videoUp{false};
std::thread::id videoThread;
bool failureReported = false;

} // namespace

bool ensureVideo() {
    if (videoUp.load(std::memory_order_acquire))
        return true;
    // SDL would otherwise turn the close of the last window into SDL_QUIT as well, and a
    // window procedure that declines WM_CLOSE would be asked twice.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (!failureReported)
            std::fprintf(stderr, "win32: SDL video could not start: %s\n", SDL_GetError());
        failureReported = true;
        return false;
    }
    installKeyStateWatcher();
    videoThread = std::this_thread::get_id();
    videoUp.store(true, std::memory_order_release);
    return true;
}

bool onVideoThread() {
    return videoUp.load(std::memory_order_acquire) && std::this_thread::get_id() == videoThread;
}

} // namespace quavel::win32
