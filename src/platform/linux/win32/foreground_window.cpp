#include "platform/linux/win32/foreground_window.h"

#include <SDL2/SDL.h>

#include <atomic>

#include "platform/linux/win32/win32_api.h"
#include "platform/linux/win32/window_table.h"

namespace quavel::win32 {
namespace {

// Written by the watcher (on whichever thread pushes the event) and the window functions;
// read by GetForegroundWindow on any thread.
std::atomic<HWND> foreground{nullptr};

int SDLCALL watchFocus(void*, SDL_Event* event) {
    if (event->type != SDL_WINDOWEVENT)
        return 0;
    const WindowRecord* window = findWindowBySdlId(event->window.windowID);
    if (window == nullptr)
        return 0;
    if (event->window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        foreground.store(window->handle);
    } else if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        HWND expected = window->handle;
        foreground.compare_exchange_strong(expected, nullptr);
    }
    return 0;
}

} // namespace

void installFocusWatcher() {
    SDL_AddEventWatch(watchFocus, nullptr);
}

void activateWindow(HWND window) {
    foreground.store(window);
}

void forgetForegroundWindow(HWND window) {
    foreground.compare_exchange_strong(window, nullptr);
}

} // namespace quavel::win32

HWND WINAPI GetForegroundWindow(VOID) {
    return quavel::win32::foreground.load();
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    quavel::win32::WindowRecord* window = quavel::win32::findWindow(hWnd);
    if (window == nullptr)
        return FALSE;
    SDL_RaiseWindow(window->sdlWindow);
    quavel::win32::activateWindow(hWnd);
    return TRUE;
}
