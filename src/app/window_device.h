// Window and Direct3D 11 device start-up.
#pragma once

#include "app/demo_app.h"

// The window procedure of the show's window class: WM_DESTROY quits, WM_SIZE and the window
// menu (Alt, F10) are swallowed, everything else takes the default path.
LRESULT CALLBACK demoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the window is put on the screen. An offline renderer draws into the same swap chain
// on a window that is never shown.
enum class WindowShown { OnScreen, Never };

// Registers the class, opens the borderless 1600 x 900 window (times renderScale, rounded as
// the engine rounds its targets) centred on the desktop and
// creates the device, its immediate context, the swap chain and the back-buffer view (with one
// retry on the WARP driver when the hardware driver is unsupported), then shows the window
// (unless it is never to be shown) and hides the cursor. Returns S_OK when the back-buffer view
// exists. Otherwise it returns at once with the failed creation result, or E_FAIL when a device
// object or the view is missing, and leaves what could not be made null, so that the caller can
// stop in order.
HRESULT initWindowAndDevice(DemoApp& app, WindowShown shown, float renderScale);
