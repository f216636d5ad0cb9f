// Waveform audio output: the real multimedia header on Windows, our SDL2-backed declarations
// of the same names elsewhere. The system's code includes only this header.
#pragma once
#include "platform/win32.h"
#if defined(_WIN32)
#include <mmsystem.h>
// WAVE_FORMAT_IEEE_FLOAT lives in the registered-format header, not in mmsystem.h.
#include <mmreg.h>
#else
#include "platform/linux/waveout/waveout_api.h"
#endif
