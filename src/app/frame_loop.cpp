#include "app/frame_loop.h"

#include "app/show.h"
#include "music/audio_refill.h"

FrameLoopResult runFrameLoop(DemoApp& app,
                             const std::function<std::uint32_t(const DemoApp&)>& bytesPlayed,
                             const FrameLoopHooks& hooks) {
    FrameCursor cursor;
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
            hooks.betweenFrames(cursor);

        // The sound starts with the first frame, not during start-up.
        submitFirstWrite(app.audio);

        time = audioSecondsFromBytes(bytesPlayed(app));
        if (time >= kShowLengthSeconds)
            break;

        if (cursor.hold && cursor.lastFrameDrawn && time == cursor.previousTime) {
            redrawLastShowFrame(app);
        } else {
            renderShowFrame(app, time, cursor.frame, time - cursor.previousTime);
            ++cursor.frame;
            cursor.previousTime = time;
            cursor.lastFrameDrawn = true;
        }
        if (hooks.drawn)
            hooks.drawn(app.lastFrame.frame);
        app.swapChain->Present(1, 0);

        ++framesRendered;
        if (app.quitRequested)
            break;
    }
    return {framesRendered, time};
}
