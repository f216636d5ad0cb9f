// SDL events become the messages Windows would deliver: window events are sent straight to
// the window procedure (as Windows sends them during PeekMessage), key events are posted.
#include <SDL2/SDL.h>

#include "platform/linux/win32/key_state.h"
#include "platform/linux/win32/message_queue.h"
#include "platform/linux/win32/window_table.h"

namespace quavel::win32 {

namespace {

void translateWindowEvent(const SDL_WindowEvent& event) {
    WindowRecord* window = findWindowBySdlId(event.windowID);
    if (window == nullptr)
        return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window->sdlWindow, &width, &height);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        SendMessageW(window->handle, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        sendSizeMessage(*window, SIZE_RESTORED, event.data1, event.data2, true);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        sendSizeMessage(*window, SIZE_MINIMIZED, 0, 0, false);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        sendSizeMessage(*window, SIZE_MAXIMIZED, width, height, false);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        sendSizeMessage(*window, SIZE_RESTORED, width, height, false);
        break;
    default:
        break;
    }
}

// Key messages carry the repeat count, scan code, context (Alt held), previous state and
// transition bits in lParam.
LPARAM keyMessageBits(const SDL_KeyboardEvent& event, bool down, bool altHeld) {
    DWORD bits = 1u | (static_cast<DWORD>(event.keysym.scancode & 0xFF) << 16);
    if (altHeld)
        bits |= 1u << 29;
    if (!down || event.repeat)
        bits |= 1u << 30;
    if (!down)
        bits |= 1u << 31;
    return static_cast<LPARAM>(bits);
}

// Alt keys held as far as the translated events go. The async key state cannot serve here:
// it already holds the outcome of every event in SDL's queue, not of those translated so far.
Uint8 altKeysHeld = 0;

Uint8 altBit(SDL_Scancode scancode) {
    if (scancode == SDL_SCANCODE_LALT)
        return 1;
    if (scancode == SDL_SCANCODE_RALT)
        return 2;
    return 0;
}

void translateKeyEvent(const SDL_KeyboardEvent& event) {
    const int virtualKey = virtualKeyFromScancode(event.keysym.scancode);
    if (virtualKey == 0)
        return;
    const WindowRecord* window = findWindowBySdlId(event.windowID);
    const HWND target = window != nullptr ? window->handle : nullptr;
    const bool down = event.type == SDL_KEYDOWN;
    const Uint8 alt = altBit(event.keysym.scancode);
    if (down)
        altKeysHeld |= alt;
    // Alt, F10 and any key pressed with Alt are system keys on Windows; Alt's own release
    // still belongs to the system-key sequence.
    const bool altHeld = altKeysHeld != 0;
    if (!down)
        altKeysHeld &= static_cast<Uint8>(~alt);
    const bool systemKey = altHeld || virtualKey == VK_F10;
    const UINT message =
        down ? (systemKey ? WM_SYSKEYDOWN : WM_KEYDOWN) : (systemKey ? WM_SYSKEYUP : WM_KEYUP);
    const int reportedKey = alt != 0 ? VK_MENU : virtualKey;
    postToThreadQueue(target, message, static_cast<WPARAM>(reportedKey),
                      keyMessageBits(event, down, altHeld));
}

void translateQuit() {
    // A termination request (SIGINT, SIGTERM) closes every window, as an orderly end would;
    // with no window left it ends the message loop directly.
    if (windowCount() == 0) {
        PostQuitMessage(0);
        return;
    }
    for (std::size_t i = windowCount(); i-- > 0;)
        SendMessageW(windowAt(i), WM_CLOSE, 0, 0);
}

} // namespace

void translateSdlEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            translateQuit();
            break;
        case SDL_WINDOWEVENT:
            translateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            translateKeyEvent(event.key);
            break;
        default:
            break;
        }
    }
}

} // namespace quavel::win32
