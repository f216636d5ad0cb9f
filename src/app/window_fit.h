// Where the show's window goes on a monitor: the picture's size centred in the work area
// (the monitor less the task bar) when it fits; on a smaller screen the largest window of the
// picture's aspect ratio that fits, centred. The back buffer keeps the picture's size and the
// swap chain stretches it to the window.
#pragma once

#include "platform/win32.h"

struct WindowPlacement {
    int x, y, width, height;
};

WindowPlacement fitWindow(const RECT& workArea, int width, int height);
