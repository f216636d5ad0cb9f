// Module handle, icons, cursor and console: the process-wide odds and ends of start-up.
#include <SDL2/SDL.h>

#include "platform/linux/win32/sdl_video.h"
#include "platform/linux/win32/win32_api.h"

namespace {

// Stands in for the executable's base address, which is what the module handle is on Windows.
const char executableModule = 0;

// Windows keeps a display counter: the cursor shows while it is 0 or more.
int cursorDisplayCount = 0;

} // namespace

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    // Only the executable itself is a module here; no libraries are loaded by name.
    if (lpModuleName != nullptr)
        return nullptr;
    return reinterpret_cast<HMODULE>(const_cast<char*>(&executableModule));
}

// Executables carry no icon resources on Linux, so every lookup finds none, as LoadIconW does
// for a missing resource.
HICON WINAPI LoadIconW(HINSTANCE, LPCWSTR) {
    return nullptr;
}

int WINAPI ShowCursor(BOOL bShow) {
    cursorDisplayCount += bShow ? 1 : -1;
    if (quavel::win32::ensureVideo(quavel::win32::VideoUse::Query))
        SDL_ShowCursor(cursorDisplayCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorDisplayCount;
}

// A Linux process has no console window object; a terminal is not a window of ours.
HWND WINAPI GetConsoleWindow(VOID) {
    return nullptr;
}

// The thread's power request. The show runs on one thread, so the process-wide screen saver
// switch of SDL stands for it: display required holds the screen saver (and the display's
// power saving, which the X server ties to it) off.
EXECUTION_STATE WINAPI SetThreadExecutionState(EXECUTION_STATE esFlags) {
    static EXECUTION_STATE continuous = ES_CONTINUOUS;
    if (!quavel::win32::ensureVideo(quavel::win32::VideoUse::Query))
        return 0;
    const EXECUTION_STATE previous = continuous;
    // Without ES_CONTINUOUS the request only resets the idle timers once.
    if (esFlags & ES_CONTINUOUS) {
        continuous = esFlags;
        if (esFlags & ES_DISPLAY_REQUIRED)
            SDL_DisableScreenSaver();
        else
            SDL_EnableScreenSaver();
    }
    return previous;
}
