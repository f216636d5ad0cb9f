// DefWindowProcW: the default handling of the messages this layer produces.
#include "platform/linux/win32/win32_api.h"

namespace {

// Alt or F10 pressed and released with no other key in between opens the window menu on
// Windows; this is the key whose release would do so, or 0.
thread_local WPARAM menuKeyArmed = 0;

LRESULT systemKeyDown(HWND hWnd, WPARAM key, LPARAM lParam) {
    const bool altHeld = (lParam >> 29) & 1;
    if (key == VK_F4 && altHeld) {
        menuKeyArmed = 0;
        return SendMessageW(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    menuKeyArmed = (key == VK_MENU || key == VK_F10) ? key : 0;
    return 0;
}

LRESULT systemKeyUp(HWND hWnd, WPARAM key) {
    const bool opensMenu = key != 0 && key == menuKeyArmed;
    menuKeyArmed = 0;
    if (opensMenu)
        SendMessageW(hWnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
    return 0;
}

} // namespace

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSKEYDOWN:
        return systemKeyDown(hWnd, wParam, lParam);
    case WM_SYSKEYUP:
        return systemKeyUp(hWnd, wParam);
    case WM_KEYDOWN:
        menuKeyArmed = 0;
        return 0;
    case WM_SYSCOMMAND:
        // Windows has no menu to open here; SC_KEYMENU and the rest end quietly.
        if ((wParam & 0xFFF0) == SC_CLOSE)
            return SendMessageW(hWnd, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}
