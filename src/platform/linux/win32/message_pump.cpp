// PeekMessageW and the functions that feed and drain the thread's message queue.
#include <SDL2/SDL.h>

#include <algorithm>
#include <deque>

#include "platform/linux/win32/message_queue.h"
#include "platform/linux/win32/sdl_video.h"
#include "platform/linux/win32/window_table.h"

namespace quavel::win32 {

namespace {

struct ThreadQueue {
    std::deque<MSG> posted;
    // WM_QUIT is a flag, not a queue entry: Windows hands it out only once every posted
    // message has been retrieved.
    bool quitPending = false;
    int quitCode = 0;
};

thread_local ThreadQueue threadQueue;

MSG makeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = SDL_WasInit(SDL_INIT_TIMER | SDL_INIT_VIDEO) ? SDL_GetTicks() : 0;
    int x = 0;
    int y = 0;
    if (onVideoThread())
        SDL_GetGlobalMouseState(&x, &y);
    msg.pt = POINT{x, y};
    return msg;
}

// A window filter of null matches everything, (HWND)-1 only messages posted to the thread.
bool matchesWindow(HWND message, HWND filter) {
    if (filter == nullptr)
        return true;
    if (filter == reinterpret_cast<HWND>(-1))
        return message == nullptr;
    return message == filter;
}

bool matchesRange(UINT message, UINT first, UINT last) {
    if (first == 0 && last == 0)
        return true;
    return message >= first && message <= last;
}

} // namespace

void postToThreadQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    threadQueue.posted.push_back(makeMessage(window, message, wParam, lParam));
}

void sendSizeMessage(WindowRecord& window, WPARAM kind, int width, int height, bool onlyIfChanged) {
    if (onlyIfChanged && width == window.reportedWidth && height == window.reportedHeight)
        return;
    window.reportedWidth = width;
    window.reportedHeight = height;
    SendMessageW(window.handle, WM_SIZE, kind, MAKELPARAM(width, height));
}

void discardMessagesFor(HWND window) {
    auto& posted = threadQueue.posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [window](const MSG& msg) { return msg.hwnd == window; }),
                 posted.end());
}

} // namespace quavel::win32

using namespace quavel::win32;

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (lpMsg == nullptr)
        return FALSE;
    if (onVideoThread())
        translateSdlEvents();
    auto& posted = threadQueue.posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!matchesWindow(it->hwnd, hWnd) ||
            !matchesRange(it->message, wMsgFilterMin, wMsgFilterMax))
            continue;
        *lpMsg = *it;
        if (wRemoveMsg & PM_REMOVE)
            posted.erase(it);
        return TRUE;
    }
    const bool quitWanted = hWnd == nullptr || hWnd == reinterpret_cast<HWND>(-1);
    if (threadQueue.quitPending && quitWanted &&
        matchesRange(WM_QUIT, wMsgFilterMin, wMsgFilterMax)) {
        *lpMsg = makeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(threadQueue.quitCode), 0);
        if (wRemoveMsg & PM_REMOVE)
            threadQueue.quitPending = false;
        return TRUE;
    }
    return FALSE;
}

VOID WINAPI PostQuitMessage(int nExitCode) {
    threadQueue.quitPending = true;
    threadQueue.quitCode = nExitCode;
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd != nullptr && findWindow(hWnd) == nullptr)
        return FALSE;
    postToThreadQueue(hWnd, Msg, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* window = findWindow(hWnd);
    if (window == nullptr || window->procedure == nullptr)
        return 0;
    return window->procedure(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (lpMsg == nullptr)
        return 0;
    return SendMessageW(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

// Character messages are not produced: nothing in the system reads text input. The result
// still tells key messages from others, as on Windows.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr)
        return FALSE;
    const UINT m = lpMsg->message;
    return (m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP) ? TRUE
                                                                                        : FALSE;
}
