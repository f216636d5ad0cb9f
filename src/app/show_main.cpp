// The show's entry function: start-up, the frame loop driven by the sound card's clock, and
// the orderly end with exit code 1.
#include <string>

#include "app/frame_loop.h"
#include "app/show.h"
#include "platform/startup_failure.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static DemoApp app; // large (the audio ring is inside); lives until the process ends
    std::string error;
    if (!startShowGraphics(app, error)) {
        reportStartupFailure("quavel1", error);
        return 2;
    }
    if (!startShowAudio(app, error)) {
        reportStartupFailure("quavel1", error);
        shutdownShow(app);
        return 2;
    }
    runFrameLoop(app, [](const DemoApp& a) { return audioBytesPlayed(a); });
    shutdownShow(app);
    return 1;
}
