// The waveOut functions: handle bookkeeping, argument checks and header flags in front of the
// SDL and silent devices.
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/waveout/sdl_wave_device.h"
#include "platform/linux/waveout/silent_wave_device.h"
#include "platform/linux/waveout/wave_format.h"

namespace quavel::waveout {

namespace {

struct OpenDevice {
    HWAVEOUT handle;
    WAVEFORMATEX format;
    std::unique_ptr<WaveDevice> device;
};

// Handles are numbers, never addresses, so a closed or made-up handle finds nothing. A call
// holds its own reference, so a close on one thread cannot free a device another thread is
// querying.
std::mutex registryMutex;
std::vector<std::shared_ptr<OpenDevice>> registry;
std::uintptr_t nextHandle = 0x30000;

std::shared_ptr<OpenDevice> lookUp(HWAVEOUT handle) {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (const auto& entry : registry)
        if (entry->handle == handle)
            return entry;
    return nullptr;
}

HWAVEOUT enroll(const WAVEFORMATEX& format, std::unique_ptr<WaveDevice> device) {
    std::lock_guard<std::mutex> lock(registryMutex);
    auto entry = std::make_shared<OpenDevice>();
    entry->handle = reinterpret_cast<HWAVEOUT>(nextHandle);
    nextHandle += 4;
    entry->format = format;
    entry->device = std::move(device);
    registry.push_back(entry);
    return entry->handle;
}

void withdraw(HWAVEOUT handle) {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto it = registry.begin(); it != registry.end(); ++it) {
        if ((*it)->handle == handle) {
            registry.erase(it);
            return;
        }
    }
}

void reportSilenceOnce(const std::string& reason) {
    static std::once_flag reported;
    std::call_once(reported, [&reason] {
        std::fprintf(stderr,
                     "waveout: no audio device (%s); the show runs without sound, timed by the "
                     "system clock\n",
                     reason.c_str());
    });
}

bool validHeaderArguments(LPWAVEHDR header, UINT size) {
    return header != nullptr && size == sizeof(WAVEHDR) && header->lpData != nullptr;
}

// Pause, restart and reset: one device operation on an open handle.
template <class Operation> MMRESULT onOpenDevice(HWAVEOUT hwo, Operation operation) {
    const auto open = lookUp(hwo);
    if (open == nullptr)
        return MMSYSERR_INVALHANDLE;
    operation(*open->device);
    return MMSYSERR_NOERROR;
}

} // namespace

} // namespace quavel::waveout

using namespace quavel::waveout;

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR,
                            DWORD_PTR, DWORD fdwOpen) {
    const bool queryOnly = (fdwOpen & WAVE_FORMAT_QUERY) != 0;
    if (pwfx == nullptr || (phwo == nullptr && !queryOnly))
        return MMSYSERR_INVALPARAM;
    if (uDeviceID != WAVE_MAPPER && uDeviceID != 0)
        return MMSYSERR_BADDEVICEID;
    // Completion notices (window, thread, function, event) are not delivered by this layer.
    if ((fdwOpen & CALLBACK_TYPEMASK) != CALLBACK_NULL)
        return MMSYSERR_NOTSUPPORTED;
    const SDL_AudioFormat sampleFormat = sdlFormatFor(*pwfx);
    if (sampleFormat == 0)
        return WAVERR_BADFORMAT;
    if (queryOnly)
        return MMSYSERR_NOERROR;

    std::string whyNot;
    std::unique_ptr<WaveDevice> device = SdlWaveDevice::open(*pwfx, sampleFormat, whyNot);
    if (device == nullptr) {
        reportSilenceOnce(whyNot);
        device = std::make_unique<SilentWaveDevice>(pwfx->nAvgBytesPerSec, pwfx->nBlockAlign);
    }
    *phwo = enroll(*pwfx, std::move(device));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutClose(HWAVEOUT hwo) {
    const auto open = lookUp(hwo);
    if (open == nullptr)
        return MMSYSERR_INVALHANDLE;
    if (open->device->hasQueuedHeaders())
        return WAVERR_STILLPLAYING;
    withdraw(hwo);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    if (lookUp(hwo) == nullptr)
        return MMSYSERR_INVALHANDLE;
    if (!validHeaderArguments(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    if (lookUp(hwo) == nullptr)
        return MMSYSERR_INVALHANDLE;
    if (!validHeaderArguments(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    const auto open = lookUp(hwo);
    if (open == nullptr)
        return MMSYSERR_INVALHANDLE;
    if (!validHeaderArguments(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    if (!(pwh->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    if (pwh->dwBufferLength % open->format.nBlockAlign != 0)
        return MMSYSERR_INVALPARAM;
    // A loop spans one header here; loops across several headers are not played.
    const DWORD loopFlags = pwh->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP);
    if (loopFlags != 0 && loopFlags != (WHDR_BEGINLOOP | WHDR_ENDLOOP))
        return MMSYSERR_NOTSUPPORTED;
    open->device->write(pwh);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPause(HWAVEOUT hwo) {
    return onOpenDevice(hwo, [](auto& device) { device.pause(); });
}

MMRESULT WINAPI waveOutRestart(HWAVEOUT hwo) {
    return onOpenDevice(hwo, [](auto& device) { device.restart(); });
}

MMRESULT WINAPI waveOutReset(HWAVEOUT hwo) {
    return onOpenDevice(hwo, [](auto& device) { device.reset(); });
}

MMRESULT WINAPI waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt) {
    const auto open = lookUp(hwo);
    if (open == nullptr)
        return MMSYSERR_INVALHANDLE;
    if (pmmt == nullptr || cbmmt < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    const std::uint64_t bytes = open->device->bytesPlayed();
    // The counts are 32 bits wide and wrap, as on Windows.
    switch (pmmt->wType) {
    case TIME_SAMPLES:
        pmmt->u.sample = static_cast<DWORD>(bytes / open->format.nBlockAlign);
        break;
    case TIME_MS:
        pmmt->u.ms = static_cast<DWORD>(bytes * 1000 / open->format.nAvgBytesPerSec);
        break;
    default:
        // Unsupported time formats fall back to bytes, and the type field says so.
        pmmt->wType = TIME_BYTES;
        pmmt->u.cb = static_cast<DWORD>(bytes);
        break;
    }
    return MMSYSERR_NOERROR;
}
