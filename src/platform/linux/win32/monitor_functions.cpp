// Monitors on SDL's displays: a monitor handle is the display's index plus one (0 is no
// monitor), its work area SDL's usable bounds (the display less panels and docks).
#include <SDL2/SDL.h>

#include "platform/linux/win32/sdl_video.h"
#include "platform/linux/win32/window_table.h"

namespace {

RECT toRect(const SDL_Rect& r) {
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

} // namespace

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
    if (!quavel::win32::ensureVideo(quavel::win32::VideoUse::Query))
        return nullptr;
    const quavel::win32::WindowRecord* window = quavel::win32::findWindow(hwnd);
    int display = window != nullptr ? SDL_GetWindowDisplayIndex(window->sdlWindow) : -1;
    if (display < 0) {
        if (dwFlags == MONITOR_DEFAULTTONULL)
            return nullptr;
        display = 0; // the primary display, for both other defaults
    }
    return reinterpret_cast<HMONITOR>(static_cast<std::intptr_t>(display + 1));
}

BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi) {
    const int display = static_cast<int>(reinterpret_cast<std::intptr_t>(hMonitor)) - 1;
    if (lpmi == nullptr || lpmi->cbSize < sizeof(MONITORINFO) || display < 0 ||
        !quavel::win32::ensureVideo(quavel::win32::VideoUse::Query))
        return FALSE;
    SDL_Rect bounds, usable;
    if (SDL_GetDisplayBounds(display, &bounds) != 0)
        return FALSE;
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0)
        usable = bounds;
    lpmi->rcMonitor = toRect(bounds);
    lpmi->rcWork = toRect(usable);
    lpmi->dwFlags = display == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
