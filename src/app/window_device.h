// Window and Direct3D 11 device start-up.
#pragma once

#include <string>

#include "app/demo_app.h"

// The window procedure of the show's window class: WM_DESTROY quits, WM_SIZE and the window
// menu (Alt, F10) are swallowed, everything else takes the default path.
LRESULT CALLBACK demoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the window is put on the screen. An offline renderer draws into the same swap chain
// on a window that is never shown.
enum class WindowShown { OnScreen, Never };

struct DeviceStartup {
    bool ok = false;          // window, device, context, swap chain and back-buffer view exist
    std::string error;        // otherwise, when the window exists: what failed, with the result
    std::string softwareNote; // the show runs on the software rasteriser (show_device.h)
};

// Registers the class, opens the borderless window for the 1600 x 900 picture (times
// renderScale, rounded as the engine rounds its targets) centred in its monitor's work area,
// shrunk to fit with the picture's shape on a smaller screen (window_fit.h), creates the
// device at feature level 11_0 (show_device.h: WARP when the hardware offers less), its
// immediate context, the swap chain with a back buffer of the picture's size, Alt+Enter
// turned off, and the back-buffer view, each result checked, then shows the window (unless
// it is never to be shown). The cursor is left as it is: the show hides it when it starts
// playing, after any notice. When the window cannot be made, app.window stays null and the
// error says why (the system's reason). What could not be made stays null, so that the caller
// can stop in order.
DeviceStartup initWindowAndDevice(DemoApp& app, WindowShown shown, float renderScale);
