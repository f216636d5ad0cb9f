// audio_probe: runs the show's audio start-up over the embedded module and its shutdown, and
// prints what it found as key=value lines: whether a device opened, the clock, and whether
// the player and the thread exist, and whether the clock the show then uses advances. Exit
// status 0 once shutdown has returned.
#include <cstdio>

#include "app/silent_clock.h"
#include "demo/show_assets.h"
#include "music/audio_output.h"
#include "music/audio_thread.h"
#include "platform/win32.h"

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
                audio.player != nullptr, audioThreadRunning(audio) ? 1 : 0,
                static_cast<unsigned long>(position.u.cb));
    // Without a device the show keeps time by the system clock: 0 at the first frame, then on.
    if (start == AudioStart::NoDevice) {
        SilentClock clock;
        const float first = clock.seconds();
        Sleep(200);
        const float later = clock.seconds();
        std::printf("silent_clock=%s\n",
                    first == 0.0f && later >= 0.19f && later < 2.0f ? "advances" : "wrong");
    }
    stopAudioOutput(audio);
    std::printf("stopped=1\n");
    return 0;
}
