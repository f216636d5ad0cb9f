#include "app/frame_loop.h"

#include <cstdio>

#include "Fennick/creation_check.h"
#include "music/audio_output.h"

namespace {

bool deviceGone(HRESULT result) {
    return result == DXGI_ERROR_DEVICE_REMOVED || result == DXGI_ERROR_DEVICE_RESET;
}

// GetAsyncKeyState sees Escape pressed in any program; only a press while the show's window
// has the keyboard ends the show. The query is made every pass all the same, so that its
// "pressed since the last query" bit never carries a press from another window over.
bool escapePressed(HWND window) {
    const bool pressed = GetAsyncKeyState(VK_ESCAPE) != 0;
    return pressed && GetForegroundWindow() == window;
}

// Keeps the display on while the show plays; the previous state comes back at the end.
class DisplayKeptOn {
public:
    DisplayKeptOn() { SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED); }
    ~DisplayKeptOn() { SetThreadExecutionState(ES_CONTINUOUS); }
};

} // namespace

std::string deviceLostText(HRESULT presentResult, ID3D11Device* device, float time) {
    const HRESULT reason = device != nullptr ? device->GetDeviceRemovedReason() : E_FAIL;
    char at[32];
    std::snprintf(at, sizeof at, "%.2f", time);
    return "the graphics device stopped working at " + std::string(at) +
           " s into the show (Present: " + Fennick::gfx::hresultText(presentResult) +
           "; reason: " + Fennick::gfx::hresultText(reason) +
           "): a driver update or reset, a GPU timeout, or the GPU taken away";
}

FrameLoopResult runFrameLoop(DemoApp& app, Playhead& playhead, const ShowClock& clock,
                             const FrameLoopHooks& hooks) {
    const DisplayKeptOn displayOn;
    std::uint32_t framesRendered = 0;
    float time = 0.0f;
    bool occluded = false;
    GetAsyncKeyState(VK_ESCAPE); // forget presses from before the show (a notice's Escape)
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (message.message == WM_QUIT)
                app.quitRequested = true;
        }
        if (!app.quitRequested)
            app.quitRequested = escapePressed(app.window);
        if (hooks.betweenFrames)
            hooks.betweenFrames();

        // The sound starts with the first frame, not during start-up.
        submitFirstWrite(app.audio);

        time = clock(app);
        if (time >= kShowLengthSeconds)
            break;

        if (occluded) {
            // Nothing is drawn for a window nobody sees, and there is no vertical blank to
            // wait for: a short sleep keeps the loop from spinning a core.
            const HRESULT visible = app.swapChain->Present(0, DXGI_PRESENT_TEST);
            if (deviceGone(visible))
                return {framesRendered, time, deviceLostText(visible, app.device, time)};
            occluded = visible == DXGI_STATUS_OCCLUDED;
            if (occluded) {
                if (app.quitRequested)
                    break;
                Sleep(kOccludedPollMs);
                continue;
            }
        }

        playhead.advanceTo(time);
        if (hooks.drawn)
            hooks.drawn(app.lastFrame.frame);
        const HRESULT presented = app.swapChain->Present(1, 0);
        if (deviceGone(presented))
            return {framesRendered, time, deviceLostText(presented, app.device, time)};
        occluded = presented == DXGI_STATUS_OCCLUDED;

        ++framesRendered;
        if (app.quitRequested)
            break;
    }
    return {framesRendered, time, ""};
}
