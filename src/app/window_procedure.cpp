// The show window's procedure, on its own so that tests can build it with a stand-in
// DefWindowProcW.
#include "app/window_device.h"

LRESULT CALLBACK demoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        return 0; // the swap chain is never resized
    case WM_SYSCOMMAND:
        // Alt or F10 would open the window menu and stall the show.
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 0;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
