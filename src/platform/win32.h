// Windowing, input, threads and time: the real Win32 headers on Windows, our SDL2-backed
// declarations of the same names elsewhere. The system's code includes only this header.
#pragma once
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// CommandLineToArgvW, which the lean headers leave out.
#include <shellapi.h>
#else
#include "platform/linux/win32/win32_api.h"
#endif
