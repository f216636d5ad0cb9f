#include "app/frame_loop.h"

#include "app/show.h"
#include "music/audio_refill.h"

FrameLoopResult runFrameLoop(DemoApp& app,
                             const std::function<std::uint32_t(const DemoApp&)>& bytesPlayed,
                             const std::function<void()>& betweenFrames) {
    std::uint32_t frame = 0;
    float previousTime = 0.0f;
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
        if (betweenFrames)
            betweenFrames();

        // The sound starts with the first frame, not during start-up.
        submitFirstWrite(app.audio);

        time = audioSecondsFromBytes(bytesPlayed(app));
        const float elapsedTime = time - previousTime;
        if (time >= kShowLengthSeconds)
            break;

        renderShowFrame(app, time, frame, elapsedTime);
        app.swapChain->Present(1, 0);

        ++frame;
        previousTime = time;
        if (app.quitRequested)
            break;
    }
    return {frame, time};
}
