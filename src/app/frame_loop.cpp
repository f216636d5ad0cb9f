#include "app/frame_loop.h"

#include "music/audio_output.h"

FrameLoopResult runFrameLoop(DemoApp& app, Playhead& playhead, const ShowClock& clock,
                             const FrameLoopHooks& hooks) {
    std::uint32_t framesRendered = 0;
    float time = 0.0f;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (message.message == WM_QUIT)
                app.quitRequested = true;
        }
        if (!app.quitRequested)
            app.quitRequested = GetAsyncKeyState(VK_ESCAPE) != 0;
        if (hooks.betweenFrames)
            hooks.betweenFrames();

        // The sound starts with the first frame, not during start-up.
        submitFirstWrite(app.audio);

        time = clock(app);
        if (time >= kShowLengthSeconds)
            break;

        playhead.advanceTo(time);
        if (hooks.drawn)
            hooks.drawn(app.lastFrame.frame);
        app.swapChain->Present(1, 0);

        ++framesRendered;
        if (app.quitRequested)
            break;
    }
    return {framesRendered, time};
}
