#include "platform/linux/waveout/sdl_wave_device.h"

#include <SDL2/SDL.h>

#include <sys/stat.h>

#include <cstring>
#include <string>

namespace quavel::waveout {

namespace {

// Drivers that accept a device but do not play it at the sample rate.
bool playsInRealTime(const char* driver) {
    return driver != nullptr && std::strcmp(driver, "dummy") != 0 &&
           std::strcmp(driver, "disk") != 0;
}

// SDL tries every driver in turn, and a failing ALSA prints its configuration errors on
// stderr. Without any ALSA device node neither ALSA nor sndio (whose server plays through
// ALSA on Linux) can play, and a sound server would have been found by its own driver, so
// both are left out of the default list; SDL_AUDIODRIVER set by the user still wins.
void leaveOutDriversThatCannotPlay() {
    struct stat info {};
    if (stat("/dev/snd", &info) == 0)
        return;
    std::string drivers;
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) {
        const char* name = SDL_GetAudioDriver(i);
        const bool throughAlsa = std::strcmp(name, "alsa") == 0 || std::strcmp(name, "sndio") == 0;
        if (throughAlsa || !playsInRealTime(name))
            continue;
        drivers += drivers.empty() ? name : std::string(",") + name;
    }
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, drivers.c_str(), SDL_HINT_DEFAULT);
}

std::chrono::nanoseconds steadyNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SDLCALL fillFromDevice(void* device, Uint8* stream, int length) {
    static_cast<SdlWaveDevice*>(device)->fill(stream, length);
}

// About 11.6 ms at 44100 Hz: the play position advances in steps of this many frames.
constexpr Uint16 kCallbackFrames = 512;

} // namespace

std::unique_ptr<SdlWaveDevice>
SdlWaveDevice::open(const WAVEFORMATEX& format, SDL_AudioFormat sampleFormat, std::string& whyNot) {
    leaveOutDriversThatCannotPlay();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        whyNot = SDL_GetError();
        return nullptr;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    if (!playsInRealTime(driver)) {
        whyNot =
            std::string("only the ") + (driver ? driver : "null") + " audio driver is available";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.nSamplesPerSec);
    wanted.format = sampleFormat;
    wanted.channels = static_cast<Uint8>(format.nChannels);
    wanted.samples = kCallbackFrames;
    wanted.callback = fillFromDevice;
    // The device object must exist before SDL may call back into it, so it is created first
    // and handed over as the callback's user data only once opened, still paused.
    auto device = std::make_unique<SdlWaveDevice>(0, 0, format, 0);
    wanted.userdata = device.get();
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (id == 0) {
        whyNot = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    device->id_ = id;
    device->silence_ = obtained.silence;
    // SDL hands the card one callback block at a time: that block is what queues in front
    // of the listener.
    device->position_.setLatency(std::uint64_t{obtained.samples} * format.nBlockAlign);
    SDL_PauseAudioDevice(id, 0);
    return device;
}

SdlWaveDevice::SdlWaveDevice(SDL_AudioDeviceID id, Uint8 silence, const WAVEFORMATEX& format,
                             std::uint64_t latencyBytes, Clock clock)
    : id_(id), silence_(silence), clock_(clock ? std::move(clock) : Clock(steadyNow)),
      position_(format.nAvgBytesPerSec, format.nBlockAlign, latencyBytes) {}

SdlWaveDevice::~SdlWaveDevice() {
    if (id_ != 0) {
        SDL_CloseAudioDevice(id_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlWaveDevice::fill(Uint8* stream, int length) {
    const auto wanted = static_cast<std::uint64_t>(length);
    const std::uint64_t played = paused_ ? 0 : queue_.play(wanted, stream);
    std::memset(stream + played, silence_, wanted - played);
    position_.blockTaken(clock_(), wanted, played);
}

void SdlWaveDevice::write(WAVEHDR* header) {
    SDL_LockAudioDevice(id_);
    queue_.append(header);
    SDL_UnlockAudioDevice(id_);
}

void SdlWaveDevice::pause() {
    SDL_LockAudioDevice(id_);
    paused_ = true;
    SDL_UnlockAudioDevice(id_);
}

void SdlWaveDevice::restart() {
    SDL_LockAudioDevice(id_);
    paused_ = false;
    SDL_UnlockAudioDevice(id_);
}

void SdlWaveDevice::reset() {
    SDL_LockAudioDevice(id_);
    queue_.clear();
    position_.reset();
    SDL_UnlockAudioDevice(id_);
}

std::uint64_t SdlWaveDevice::bytesPlayed() {
    return position_.heard(clock_());
}

bool SdlWaveDevice::hasQueuedHeaders() {
    SDL_LockAudioDevice(id_);
    const bool queued = !queue_.empty();
    SDL_UnlockAudioDevice(id_);
    return queued;
}

} // namespace quavel::waveout
