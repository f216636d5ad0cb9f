// Direct3D 11 and DXGI: the real headers on Windows, our OpenGL 4.5-backed declarations of
// the same names elsewhere. The system's code includes only this header.
#pragma once
#include "platform/win32.h"
#if defined(_WIN32)
#include <d3d11.h>
#include <dxgi1_6.h>
#else
#include "platform/linux/d3d11/d3d11_api.h"
#endif
