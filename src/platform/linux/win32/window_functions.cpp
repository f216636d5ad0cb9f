// Window classes and windows: registration, creation on SDL, placement, visibility, queries.
#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/linux/win32/foreground_window.h"
#include "platform/linux/win32/message_queue.h"
#include "platform/linux/win32/sdl_video.h"
#include "platform/linux/win32/sdl_window_access.h"
#include "platform/linux/win32/wide_text.h"
#include "platform/linux/win32/window_table.h"

namespace quavel::win32 {

namespace {

enum class Visibility { Show, Hide, Minimize, Maximize, Restore };

struct ShowCommand {
    int command;
    Visibility visibility;
    bool activates; // the window becomes the foreground window
};

constexpr ShowCommand kShowCommands[] = {
    {SW_HIDE, Visibility::Hide, false},
    {SW_SHOWNORMAL, Visibility::Show, true},
    {SW_SHOWMINIMIZED, Visibility::Minimize, true},
    {SW_MAXIMIZE, Visibility::Maximize, true},
    {SW_SHOWNOACTIVATE, Visibility::Show, false},
    {SW_SHOW, Visibility::Show, true},
    {SW_MINIMIZE, Visibility::Minimize, false},
    {SW_SHOWMINNOACTIVE, Visibility::Minimize, false},
    {SW_SHOWNA, Visibility::Show, false},
    {SW_RESTORE, Visibility::Restore, true},
    {SW_SHOWDEFAULT, Visibility::Show, true},
};

// A popup without a caption is the only frameless top-level window; an overlapped window
// always has a title bar on Windows.
bool isBorderless(DWORD style) {
    return (style & WS_POPUP) != 0 && (style & WS_CAPTION) != WS_CAPTION;
}

bool isVisible(const WindowRecord& window) {
    return (SDL_GetWindowFlags(window.sdlWindow) & SDL_WINDOW_SHOWN) != 0;
}

void applyVisibility(WindowRecord& window, Visibility visibility) {
    switch (visibility) {
    case Visibility::Hide:
        SDL_HideWindow(window.sdlWindow);
        break;
    case Visibility::Show:
        SDL_ShowWindow(window.sdlWindow);
        break;
    case Visibility::Minimize:
        SDL_ShowWindow(window.sdlWindow);
        SDL_MinimizeWindow(window.sdlWindow);
        break;
    case Visibility::Maximize:
        SDL_ShowWindow(window.sdlWindow);
        SDL_MaximizeWindow(window.sdlWindow);
        break;
    case Visibility::Restore:
        SDL_ShowWindow(window.sdlWindow);
        SDL_RestoreWindow(window.sdlWindow);
        break;
    }
    if (visibility == Visibility::Hide)
        window.style &= ~WS_VISIBLE;
    else
        window.style |= WS_VISIBLE;
}

bool desktopSize(int& width, int& height) {
    SDL_DisplayMode mode{};
    if (!ensureVideo(VideoUse::Query) || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    width = mode.w;
    height = mode.h;
    return true;
}

} // namespace

} // namespace quavel::win32

using namespace quavel::win32;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpWndClass) {
    if (lpWndClass == nullptr || lpWndClass->cbSize != sizeof(WNDCLASSEXW) ||
        lpWndClass->lpfnWndProc == nullptr || lpWndClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(lpWndClass->lpszClassName))
        return 0;
    return addClass(*lpWndClass);
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
    return removeClass(lpClassName) ? TRUE : FALSE;
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                            DWORD dwStyle, int X, int Y, int nWidth, int nHeight, HWND, HMENU,
                            HINSTANCE, LPVOID) {
    const WindowClass* windowClass = findClass(lpClassName);
    const VideoUse use = (dwStyle & WS_VISIBLE) ? VideoUse::ShownWindow : VideoUse::HiddenWindow;
    if (windowClass == nullptr || !ensureVideo(use))
        return nullptr;

    Uint32 flags = SDL_WINDOW_OPENGL; // the Direct3D layer makes its GL context on it
    flags |= (dwStyle & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (isBorderless(dwStyle))
        flags |= SDL_WINDOW_BORDERLESS;
    if (dwStyle & WS_THICKFRAME)
        flags |= SDL_WINDOW_RESIZABLE;
    const int x = X == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : X;
    const int y = X == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : Y;
    const int width = nWidth == CW_USEDEFAULT ? 640 : std::max(nWidth, 1);
    const int height = nWidth == CW_USEDEFAULT ? 480 : std::max(nHeight, 1);

    SDL_Window* sdlWindow =
        SDL_CreateWindow(toUtf8(lpWindowName).c_str(), x, y, width, height, flags);
    if (sdlWindow == nullptr)
        return nullptr;

    WindowRecord record;
    record.sdlWindow = sdlWindow;
    record.sdlId = SDL_GetWindowID(sdlWindow);
    record.className = windowClass->name;
    record.title = lpWindowName != nullptr ? lpWindowName : L"";
    record.procedure = windowClass->description.lpfnWndProc;
    record.style = dwStyle;
    record.exStyle = dwExStyle;
    WindowRecord& window = addWindow(std::move(record));
    const HWND handle = window.handle;
    // Windows reports the first client size while creating the window.
    sendSizeMessage(window, SIZE_RESTORED, width, height, false);
    // A top-level window made visible is activated as it appears.
    if (dwStyle & WS_VISIBLE)
        activateWindow(handle);
    return handle;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    WindowRecord* window = findWindow(hWnd);
    if (window == nullptr)
        return FALSE;
    if (window->destroying)
        return TRUE;
    window->destroying = true;
    SendMessageW(hWnd, WM_DESTROY, 0, 0);
    window = findWindow(hWnd);
    if (window != nullptr) {
        // The handle dies here, but the SDL window is only hidden: the Direct3D layer may
        // hold an OpenGL context made on it, and the frame in progress still renders and
        // presents through that context (Present to a destroyed window fails softly on
        // Windows too). Freeing it under a live context would leave no context current.
        SDL_HideWindow(window->sdlWindow);
        removeWindow(hWnd);
        forgetForegroundWindow(hWnd);
    }
    discardMessagesFor(hWnd);
    return TRUE;
}

HWND WINAPI GetDesktopWindow(VOID) {
    return desktopHandle();
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (lpRect == nullptr)
        return FALSE;
    int width = 0;
    int height = 0;
    if (hWnd == desktopHandle()) {
        if (!desktopSize(width, height))
            return FALSE;
    } else {
        const WindowRecord* window = findWindow(hWnd);
        if (window == nullptr)
            return FALSE;
        SDL_GetWindowSize(window->sdlWindow, &width, &height);
    }
    *lpRect = RECT{0, 0, width, height};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (lpRect == nullptr)
        return FALSE;
    if (hWnd == desktopHandle())
        return GetClientRect(hWnd, lpRect);
    const WindowRecord* window = findWindow(hWnd);
    if (window == nullptr)
        return FALSE;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(window->sdlWindow, &x, &y);
    SDL_GetWindowSize(window->sdlWindow, &width, &height);
    *lpRect = RECT{x, y, x + width, y + height};
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
    WindowRecord* window = findWindow(hWnd);
    if (window == nullptr)
        return FALSE;
    if (!(uFlags & SWP_NOMOVE))
        SDL_SetWindowPosition(window->sdlWindow, X, Y);
    if (!(uFlags & SWP_NOSIZE)) {
        const int width = std::max(cx, 1);
        const int height = std::max(cy, 1);
        SDL_SetWindowSize(window->sdlWindow, width, height);
        sendSizeMessage(*window, SIZE_RESTORED, width, height, true);
    }
    // The z-order is left to the window manager: nothing in the system stacks windows.
    window = findWindow(hWnd); // the WM_SIZE handler may have destroyed it
    if (window != nullptr && (uFlags & SWP_SHOWWINDOW))
        applyVisibility(*window, Visibility::Show);
    if (window != nullptr && (uFlags & SWP_HIDEWINDOW))
        applyVisibility(*window, Visibility::Hide);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    WindowRecord* window = findWindow(hWnd);
    if (window == nullptr)
        return FALSE;
    const bool wasVisible = isVisible(*window);
    for (const ShowCommand& command : kShowCommands)
        if (command.command == nCmdShow) {
            applyVisibility(*window, command.visibility);
            if (command.activates)
                activateWindow(hWnd);
        }
    return wasVisible ? TRUE : FALSE;
}

// There is no paint model behind these windows (the Direct3D layer draws through OpenGL), so
// there is never an update region to paint.
BOOL WINAPI UpdateWindow(HWND hWnd) {
    return findWindow(hWnd) != nullptr ? TRUE : FALSE;
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    const WindowRecord* window = findWindow(hWnd);
    if (window == nullptr)
        return 0;
    if (nIndex == GWL_STYLE)
        return static_cast<LONG>(window->style);
    if (nIndex == GWL_EXSTYLE)
        return static_cast<LONG>(window->exStyle);
    return 0;
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    const WindowRecord* window = findWindow(hWnd);
    return window != nullptr ? copyToBuffer(window->className, lpClassName, nMaxCount) : 0;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    const WindowRecord* window = findWindow(hWnd);
    if (window == nullptr) {
        if (lpString != nullptr && nMaxCount > 0)
            lpString[0] = 0;
        return 0;
    }
    return copyToBuffer(window->title, lpString, nMaxCount);
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    WindowRecord* window = findWindow(hWnd);
    if (window == nullptr)
        return FALSE;
    window->title = lpString != nullptr ? lpString : L"";
    SDL_SetWindowTitle(window->sdlWindow, toUtf8(window->title.c_str()).c_str());
    return TRUE;
}

SDL_Window* quavelSdlWindowFromHwnd(HWND window) {
    const WindowRecord* record = findWindow(window);
    return record != nullptr ? record->sdlWindow : nullptr;
}
