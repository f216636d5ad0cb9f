// A device on an SDL audio output: SDL's callback takes its bytes from the queued headers.
#pragma once

#include <SDL2/SDL_audio.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/linux/waveout/heard_position.h"
#include "platform/linux/waveout/wave_device.h"
#include "platform/linux/waveout/wave_queue.h"

namespace quavel::waveout {

class SdlWaveDevice final : public WaveDevice {
public:
    using Clock = std::function<std::chrono::nanoseconds()>;

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
    // nothing. Public so tests can drive it directly.
    void fill(Uint8* stream, int length);

    // `latencyBytes` is the device's queue in front of the listener as SDL reports it (its
    // buffer size); `clock` reads a monotonic time, by default std::chrono::steady_clock.
    SdlWaveDevice(SDL_AudioDeviceID id, Uint8 silence, const WAVEFORMATEX& format,
                  std::uint64_t latencyBytes, Clock clock = {});

private:
    SDL_AudioDeviceID id_;
    Uint8 silence_;
    WaveQueue queue_; // guarded by SDL's device lock
    bool paused_ = false;
    Clock clock_;
    // Fed by SDL's audio thread, read by any thread; it has its own lock.
    HeardPosition position_;
};

} // namespace quavel::waveout
