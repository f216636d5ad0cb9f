// The SDL window behind a window handle. The Direct3D layer makes its OpenGL context on the
// window a swap chain presents to, so it needs the SDL object the handle stands for.
#pragma once

#include "platform/linux/win32/win32_types.h"

struct SDL_Window;

// Null when the handle is null or names no live window.
SDL_Window* quavelSdlWindowFromHwnd(HWND window);
