// A device on an SDL audio output: SDL's callback takes its bytes from the queued headers.
#pragma once

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/linux/waveout/wave_device.h"
#include "platform/linux/waveout/wave_queue.h"

namespace quavel::waveout {

class SdlWaveDevice final : public WaveDevice {
public:
    // Opens SDL's default output in exactly `format` (SDL converts if the card differs).
    // Returns null with the reason in `whyNot` when there is no real output: no driver, no
    // device, or only SDL's dummy or disk drivers, which do not play in real time.
    static std::unique_ptr<SdlWaveDevice> open(const WAVEFORMATEX& format,
                                               SDL_AudioFormat sampleFormat, std::string& whyNot);
    ~SdlWaveDevice() override;

    void write(WAVEHDR* header) override;
    void pause() override;
    void restart() override;
    void reset() override;
    std::uint64_t bytesPlayed() override;
    bool hasQueuedHeaders() override;

    // What SDL's audio thread calls: fills `stream` from the queue, silence where it has
    // nothing, and counts the bytes taken as played. Public so tests can drive it directly.
    void fill(Uint8* stream, int length);

    SdlWaveDevice(SDL_AudioDeviceID id, Uint8 silence);

private:
    SDL_AudioDeviceID id_;
    Uint8 silence_;
    WaveQueue queue_; // guarded by SDL's device lock
    bool paused_ = false;
    // Written by SDL's audio thread, read by any thread without the lock.
    std::atomic<std::uint64_t> position_{0};
};

} // namespace quavel::waveout
