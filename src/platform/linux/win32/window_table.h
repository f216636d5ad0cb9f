// The registered window classes and the live windows, keyed by their handles.
#pragma once

#include <SDL2/SDL_video.h>

#include <string>

#include "platform/linux/win32/win32_api.h"

namespace quavel::win32 {

struct WindowClass {
    ATOM atom = 0;
    std::wstring name;
    WNDCLASSEXW description{};
};

struct WindowRecord {
    HWND handle = nullptr;
    SDL_Window* sdlWindow = nullptr;
    Uint32 sdlId = 0;
    std::wstring className;
    std::wstring title;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    // The client size last reported with WM_SIZE, so one resize is reported once although
    // SDL announces it with two events.
    int reportedWidth = -1;
    int reportedHeight = -1;
    bool destroying = false;
};

// Class lookup by name or by atom (a name that is a small integer, MAKEINTATOM style).
WindowClass* findClass(LPCWSTR nameOrAtom);
// Adds the class; returns its atom, or 0 when a class of that name exists.
ATOM addClass(const WNDCLASSEXW& description);
bool removeClass(LPCWSTR nameOrAtom);

// Adds a window record and gives it a fresh handle.
WindowRecord& addWindow(WindowRecord record);
WindowRecord* findWindow(HWND handle);
WindowRecord* findWindowBySdlId(Uint32 sdlId);
void removeWindow(HWND handle);
// Handles of all live windows, in creation order.
std::size_t windowCount();
HWND windowAt(std::size_t index);

// The desktop window's handle: it has no record, only a rectangle.
HWND desktopHandle();

} // namespace quavel::win32
