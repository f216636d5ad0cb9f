// audio_probe: runs the show's audio start-up over the embedded module and its shutdown, and
// prints what it found as key=value lines: whether a device opened, the clock, and whether
// the player and the thread exist. Exit status 0 once shutdown has returned.
#include <cstdio>

#include "demo/show_assets.h"
#include "music/audio_output.h"

int main() {
    static AudioOutput audio;
    const AudioStart start = startAudioOutput(audio, showModule(), showModuleSize());
    std::printf("start=%s\n", start == AudioStart::Playing    ? "playing"
                              : start == AudioStart::NoDevice ? "no-device"
                                                              : "thread-failed");
    if (start == AudioStart::Playing)
        submitFirstWrite(audio);
    MMTIME position = {};
    position.wType = TIME_BYTES;
    waveOutGetPosition(audio.device, &position, sizeof position);
    std::printf("device=%d player=%d thread=%d position=%lu\n", audio.device != nullptr,
                audio.player != nullptr, audio.thread.joinable() ? 1 : 0,
                static_cast<unsigned long>(position.u.cb));
    stopAudioOutput(audio);
    std::printf("stopped=1\n");
    return 0;
}
