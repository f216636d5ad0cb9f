// Which of the process's windows is the foreground window (the one the keyboard talks to).
#pragma once

#include "platform/linux/win32/win32_types.h"

namespace quavel::win32 {

// Registers the SDL event watcher that follows focus: a window of ours that gains it becomes
// the foreground window; when the foreground window loses it, another program's window has
// it and GetForegroundWindow gives null. Called once when video starts.
void installFocusWatcher();

// ShowWindow and SetForegroundWindow activate a window, as on Windows.
void activateWindow(HWND window);
// A destroyed window is no longer the foreground window.
void forgetForegroundWindow(HWND window);

} // namespace quavel::win32
