// A window procedure that records what reaches it and behaves like the show's: it posts the
// quit message on WM_DESTROY, swallows WM_SIZE and the key-menu command, and leaves the rest
// to DefWindowProcW.
#pragma once

#include <SDL2/SDL.h>

#include <vector>

#include "platform/linux/win32/sdl_window_access.h"
#include "platform/win32.h"

namespace quavel::test {

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class TestWindow {
public:
    explicit TestWindow(DWORD style = WS_POPUP | WS_VISIBLE, int width = 1600, int height = 900);
    ~TestWindow();

    HWND handle() const { return handle_; }
    SDL_Window* sdlWindow() const { return quavelSdlWindowFromHwnd(handle_); }

    // Pumps the queue as the frame loop does; true when WM_QUIT came out of it.
    bool pump();
    void pushKey(SDL_Scancode scancode, bool down) const;
    void pushWindowEvent(SDL_WindowEventID event, int data1 = 0, int data2 = 0) const;

    std::vector<ReceivedMessage> received(UINT message) const;
    void clearReceived();

private:
    HWND handle_ = nullptr;
};

} // namespace quavel::test
