// The show's entry function: start-up, the frame loop driven by the sound card's clock, and
// the orderly end with exit code 1.
#include <cstdio>
#include <string>

#include "app/frame_loop.h"
#include "app/show.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static DemoApp app; // large (the audio ring is inside); lives until the process ends
    std::string error;
    if (!startShowGraphics(app, error)) {
        std::fprintf(stderr, "quavel1: %s\n", error.c_str());
        return 2;
    }
    if (!startShowAudio(app, error)) {
        std::fprintf(stderr, "quavel1: %s\n", error.c_str());
        shutdownShow(app);
        return 2;
    }
    runFrameLoop(app, [](const DemoApp& a) { return audioBytesPlayed(a); });
    shutdownShow(app);
    return 1;
}
