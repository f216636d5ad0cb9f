// Key state for GetAsyncKeyState and the virtual-key codes of keyboard messages.
#pragma once

#include <SDL2/SDL_events.h>

#include "platform/linux/win32/win32_types.h"

namespace quavel::win32 {

// Registers the SDL event watcher that records key presses as they arrive, whoever later
// takes the events from SDL's queue. Called once when video starts.
void installKeyStateWatcher();

// The virtual-key code of a physical key, or 0 for keys the layer does not map.
int virtualKeyFromScancode(SDL_Scancode scancode);

} // namespace quavel::win32
