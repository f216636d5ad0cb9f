// Compiled by the Linux test build against our declarations and by
// the Windows cross build (tests/windows/probes) against the real Windows headers: the
// waveform-audio records, constants and signatures the system uses must have their Windows sizes,
// values and types.
#include <cstddef>
#include <type_traits>

#include "platform/waveout.h"

#define EXPECT_SIGNATURE(function, type)                                                           \
    static_assert(std::is_same_v<decltype(&function), type>, #function " signature")

static_assert(sizeof(MMRESULT) == 4 && sizeof(HWAVEOUT) == 8);
static_assert(sizeof(WAVEFORMATEX) == 18 && offsetof(WAVEFORMATEX, nSamplesPerSec) == 4);
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == 12 && offsetof(WAVEFORMATEX, cbSize) == 16);
static_assert(sizeof(WAVEHDR) == 48 && offsetof(WAVEHDR, dwBufferLength) == 8);
static_assert(offsetof(WAVEHDR, dwUser) == 16 && offsetof(WAVEHDR, dwFlags) == 24);
static_assert(offsetof(WAVEHDR, dwLoops) == 28 && offsetof(WAVEHDR, lpNext) == 32);
static_assert(sizeof(MMTIME) == 12 && offsetof(MMTIME, u) == 4);

static_assert(WAVE_FORMAT_IEEE_FLOAT == 3 && WAVE_FORMAT_PCM == 1);
static_assert(WAVE_MAPPER == static_cast<UINT>(-1) && CALLBACK_NULL == 0);
static_assert(WHDR_DONE == 1 && WHDR_PREPARED == 2 && WHDR_BEGINLOOP == 4 && WHDR_ENDLOOP == 8);
static_assert(WHDR_INQUEUE == 0x10 && TIME_MS == 1 && TIME_SAMPLES == 2 && TIME_BYTES == 4);
static_assert(MMSYSERR_NOERROR == 0 && MMSYSERR_INVALHANDLE == 5 && MMSYSERR_NODRIVER == 6);
static_assert(MMSYSERR_NOTSUPPORTED == 8 && MMSYSERR_INVALPARAM == 11);
static_assert(MMSYSERR_BADDEVICEID == 2 && WAVERR_BADFORMAT == 32 && WAVERR_STILLPLAYING == 33);
static_assert(WAVERR_UNPREPARED == 34 && WAVE_FORMAT_QUERY == 1);

EXPECT_SIGNATURE(waveOutOpen,
                 MMRESULT(WINAPI*)(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD));
EXPECT_SIGNATURE(waveOutClose, MMRESULT(WINAPI*)(HWAVEOUT));
EXPECT_SIGNATURE(waveOutPrepareHeader, MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT));
EXPECT_SIGNATURE(waveOutUnprepareHeader, MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT));
EXPECT_SIGNATURE(waveOutWrite, MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT));
EXPECT_SIGNATURE(waveOutPause, MMRESULT(WINAPI*)(HWAVEOUT));
EXPECT_SIGNATURE(waveOutRestart, MMRESULT(WINAPI*)(HWAVEOUT));
EXPECT_SIGNATURE(waveOutReset, MMRESULT(WINAPI*)(HWAVEOUT));
EXPECT_SIGNATURE(waveOutGetPosition, MMRESULT(WINAPI*)(HWAVEOUT, LPMMTIME, UINT));
