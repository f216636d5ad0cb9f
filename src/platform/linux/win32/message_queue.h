// The calling thread's queue of posted messages, as each Windows thread has one.
#pragma once

#include "platform/linux/win32/win32_api.h"

namespace quavel::win32 {

// Appends a message, stamped with the current time and pointer position.
void postToThreadQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Drops the queued messages of a window that is being destroyed.
void discardMessagesFor(HWND window);

// Sends WM_SIZE with a client size; with onlyIfChanged, only when that size differs from the
// one last reported, since SDL announces one resize with two events.
struct WindowRecord;
void sendSizeMessage(WindowRecord& window, WPARAM kind, int width, int height, bool onlyIfChanged);

// Turns the SDL events that arrived since the last call into sent and posted messages.
// Defined with the event translation.
void translateSdlEvents();

} // namespace quavel::win32
