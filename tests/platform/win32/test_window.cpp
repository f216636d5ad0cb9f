#include "platform/win32/test_window.h"

namespace quavel::test {

namespace {

std::vector<ReceivedMessage> log;

LRESULT CALLBACK recordingProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    log.push_back({message, wParam, lParam});
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

const wchar_t* registeredClass() {
    static const wchar_t* name = [] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof(description);
        description.style = CS_CLASSDC;
        description.lpfnWndProc = recordingProcedure;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = L"DemoTemplate";
        RegisterClassExW(&description);
        return L"DemoTemplate";
    }();
    return name;
}

} // namespace

TestWindow::TestWindow(DWORD style, int width, int height) {
    handle_ = CreateWindowExW(0, registeredClass(), L"quavel1", style, 0, 0, width, height, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    // Drain what start-up queued (and any quit left by an earlier test) before measuring.
    while (pump()) {
    }
    log.clear();
}

TestWindow::~TestWindow() {
    if (quavelSdlWindowFromHwnd(handle_) != nullptr)
        DestroyWindow(handle_);
    while (pump()) {
    }
}

bool TestWindow::pump() {
    bool quit = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (msg.message == WM_QUIT)
            quit = true;
    }
    return quit;
}

void TestWindow::pushKey(SDL_Scancode scancode, bool down) const {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(sdlWindow());
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    SDL_PushEvent(&event);
}

void TestWindow::pushWindowEvent(SDL_WindowEventID id, int data1, int data2) const {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(sdlWindow());
    event.window.event = static_cast<Uint8>(id);
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

std::vector<ReceivedMessage> TestWindow::received(UINT message) const {
    std::vector<ReceivedMessage> matching;
    for (const ReceivedMessage& entry : log)
        if (entry.message == message)
            matching.push_back(entry);
    return matching;
}

void TestWindow::clearReceived() {
    log.clear();
}

} // namespace quavel::test
