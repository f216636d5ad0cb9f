#include "music/audio_output.h"

#include <cstdio>
#include <system_error>

#include "music/audio_thread.h"
#include "music/module_player.h"
#include "platform/win32.h"

namespace {

constexpr DWORD kPollMilliseconds = 5;

void deleteThread(AudioThread* thread) {
    delete thread;
}

// Throws std::system_error when no thread can be started.
void startThread(AudioOutput& audio) {
    audio.thread = {new AudioThread{std::thread(audioThreadMain, &audio)}, &deleteThread};
}

void joinThread(AudioOutput& audio) {
    if (audioThreadRunning(audio))
        audio.thread->thread.join();
    audio.thread.reset();
}

WAVEFORMATEX floatStereoFormat() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = 2;
    format.nSamplesPerSec = kAudioSampleRate;
    format.nAvgBytesPerSec = kAudioSampleRate * kAudioBytesPerFrame;
    format.nBlockAlign = kAudioBytesPerFrame;
    format.wBitsPerSample = 32;
    format.cbSize = 0;
    return format;
}

std::uint32_t bytesPlayed(HWAVEOUT device) {
    MMTIME time{};
    time.wType = TIME_BYTES;
    time.u.cb = 0; // a failed query reads as 0
    waveOutGetPosition(device, &time, sizeof(time));
    return time.u.cb;
}

void closeDevice(AudioOutput& audio) {
    waveOutPause(audio.device);
    waveOutReset(audio.device);
    waveOutClose(audio.device);
    audio.device = nullptr;
}

void releasePlayer(AudioOutput& audio) {
    if (audio.player != nullptr)
        destroyModulePlayer(audio.player);
    audio.player = nullptr;
}

} // namespace

AudioStart startAudioOutput(AudioOutput& audio, const void* module, std::size_t moduleSize) {
    audio.header = WAVEHDR{};
    audio.device = nullptr;
    audio.player = nullptr;
    audio.firstWritePending = false;
    audio.stopRequested.store(false);
    audio.module = module;
    audio.moduleSize = moduleSize;
    audio.baseFrame = 0;
    audio.paused = false;
    const WAVEFORMATEX format = floatStereoFormat();

    if (waveOutOpen(&audio.device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        audio.device = nullptr;
        return AudioStart::NoDevice;
    }

    audio.header.lpData = reinterpret_cast<LPSTR>(audio.buffer);
    audio.header.dwBufferLength = sizeof(audio.buffer);
    audio.header.dwBytesRecorded = 0;
    audio.header.dwUser = 0;
    audio.header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    audio.header.dwLoops = 0xFFFFFFFF; // the device repeats the buffer for as long as it plays
    waveOutPrepareHeader(audio.device, &audio.header, sizeof(audio.header));

    const int created = createModulePlayer(&audio.player, module, moduleSize, kAudioSampleRate);
    if (created != kPlayerOk) {
        // Without a player there is nothing to play and nothing for the thread to do.
        std::fprintf(stderr,
                     "audio: the music module cannot be loaded (player error %d); "
                     "the show runs without sound\n",
                     created);
        audio.player = nullptr;
        closeDevice(audio);
        return AudioStart::NoDevice;
    }
    setLoopLimit(audio.player, 1);
    generateSamples(audio.player, audio.buffer, kAudioRingFrames);

    try {
        startThread(audio);
    } catch (const std::system_error&) {
        releasePlayer(audio);
        closeDevice(audio);
        return AudioStart::ThreadFailed;
    }
    audio.firstWritePending = true;
    return AudioStart::Playing;
}

bool audioThreadRunning(const AudioOutput& audio) {
    return audio.thread && audio.thread->thread.joinable();
}

void submitFirstWrite(AudioOutput& audio) {
    if (!audio.firstWritePending || audio.paused)
        return;
    waveOutWrite(audio.device, &audio.header, sizeof(audio.header));
    audio.firstWritePending = false;
}

void pauseAudioOutput(AudioOutput& audio, bool pause) {
    if (audio.device == nullptr || pause == audio.paused)
        return;
    audio.paused = pause;
    if (pause)
        waveOutPause(audio.device);
    else
        waveOutRestart(audio.device);
}

bool seekAudioOutput(AudioOutput& audio, std::uint64_t frame) {
    audio.baseFrame = frame;
    if (audio.device == nullptr || audio.player == nullptr)
        return false;
    audio.stopRequested.store(true);
    joinThread(audio);
    waveOutReset(audio.device);
    if (audio.paused)
        waveOutPause(audio.device); // the reset must not end the hold
    releasePlayer(audio);
    if (createModulePlayer(&audio.player, audio.module, audio.moduleSize, kAudioSampleRate) !=
        kPlayerOk) {
        audio.player = nullptr;
        return false;
    }
    setLoopLimit(audio.player, 1);
    skipSamples(audio.player, frame);
    generateSamples(audio.player, audio.buffer, kAudioRingFrames);
    audio.stopRequested.store(false);
    try {
        startThread(audio);
    } catch (const std::system_error&) {
        releasePlayer(audio);
        return false;
    }
    audio.firstWritePending = true;
    return true;
}

std::uint64_t audioSongFrame(const AudioOutput& audio) {
    if (audio.device == nullptr)
        return audio.baseFrame;
    return audio.baseFrame + bytesPlayed(audio.device) / kAudioBytesPerFrame;
}

float audioSongSeconds(const AudioOutput& audio) {
    return static_cast<float>(static_cast<double>(audioSongFrame(audio)) / kAudioSampleRate);
}

void stopAudioOutput(AudioOutput& audio) {
    audio.stopRequested.store(true);
    joinThread(audio);
    if (audio.device != nullptr)
        closeDevice(audio);
    releasePlayer(audio);
}

AudioOutput::~AudioOutput() {
    stopAudioOutput(*this);
}

void audioThreadMain(AudioOutput* audio) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    ModulePlayer* player = audio->player;
    // Made once: the loop itself allocates nothing.
    const AudioFrameRenderer render = [player](float* out, std::uint32_t frames) {
        generateSamples(player, out, frames);
    };
    std::uint32_t framesRendered = 0;
    while (!audio->stopRequested.load()) {
        const std::uint32_t played = bytesPlayed(audio->device) / kAudioBytesPerFrame;
        refillPlayedFrames(render, audio->buffer, played, framesRendered);
        Sleep(kPollMilliseconds);
    }
}
