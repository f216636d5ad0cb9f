// The message queue and keyboard: system keys, the async key state, posting and filtering.
#include <gtest/gtest.h>

#include "platform/win32/test_window.h"

namespace quavel::test {
namespace {

bool keyMenuArrived(const TestWindow& window) {
    for (const ReceivedMessage& entry : window.received(WM_SYSCOMMAND))
        if ((entry.wParam & 0xFFF0) == SC_KEYMENU)
            return true;
    return false;
}

TEST(Win32Keys, AltAloneOrF10OpensTheKeyMenuButAltWithAnotherKeyDoesNot) {
    TestWindow window;
    window.pushKey(SDL_SCANCODE_LALT, true);
    window.pushKey(SDL_SCANCODE_LALT, false);
    EXPECT_FALSE(window.pump());
    EXPECT_TRUE(keyMenuArrived(window)) << "Alt";
    const auto altDown = window.received(WM_SYSKEYDOWN);
    ASSERT_EQ(altDown.size(), 1u);
    EXPECT_EQ(altDown[0].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_EQ(window.received(WM_SYSKEYUP).size(), 1u);

    window.clearReceived();
    window.pushKey(SDL_SCANCODE_F10, true);
    window.pushKey(SDL_SCANCODE_F10, false);
    window.pump();
    EXPECT_TRUE(keyMenuArrived(window)) << "F10";

    window.clearReceived();
    window.pushKey(SDL_SCANCODE_RALT, true);
    window.pushKey(SDL_SCANCODE_X, true);
    window.pushKey(SDL_SCANCODE_X, false);
    window.pushKey(SDL_SCANCODE_RALT, false);
    window.pump();
    EXPECT_FALSE(keyMenuArrived(window)) << "Alt+X";
    EXPECT_EQ(window.received(WM_SYSKEYDOWN).size(), 2u) << "keys pressed with Alt are system keys";
    EXPECT_TRUE(window.received(WM_KEYDOWN).empty());
}

TEST(Win32Keys, AltF4ClosesTheWindowAndEscapeIsAnOrdinaryKey) {
    TestWindow window;
    window.pushKey(SDL_SCANCODE_ESCAPE, true);
    window.pushKey(SDL_SCANCODE_ESCAPE, false);
    EXPECT_FALSE(window.pump());
    const auto down = window.received(WM_KEYDOWN);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(window.received(WM_KEYUP).size(), 1u);
    EXPECT_EQ((window.received(WM_KEYUP)[0].lParam >> 31) & 1, 1) << "transition bit";

    window.pushKey(SDL_SCANCODE_LALT, true);
    window.pushKey(SDL_SCANCODE_F4, true);
    EXPECT_TRUE(window.pump());
    EXPECT_EQ(window.received(WM_DESTROY).size(), 1u);
    window.pushKey(SDL_SCANCODE_F4, false);
    window.pushKey(SDL_SCANCODE_LALT, false);
    window.pump();
}

// Reads a key until nothing is pending, so every case starts from a released, unread key.
void settle(SDL_Scancode scancode, int virtualKey, const TestWindow& window) {
    window.pushKey(scancode, false);
    GetAsyncKeyState(virtualKey);
    GetAsyncKeyState(virtualKey);
}

TEST(Win32Keys, AsyncKeyStateReportsHeldAndPressedSinceTheLastQuery) {
    TestWindow window;
    settle(SDL_SCANCODE_ESCAPE, VK_ESCAPE, window);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);

    window.pushKey(SDL_SCANCODE_ESCAPE, true);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0xFFFF, 0x8001) << "down, and pressed since";
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0xFFFF, 0x8000) << "still down, already reported";
    EXPECT_LT(GetAsyncKeyState(VK_ESCAPE), 0) << "the most significant bit makes it negative";
    window.pushKey(SDL_SCANCODE_ESCAPE, false);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);

    // A tap between two frames is still seen once.
    window.pushKey(SDL_SCANCODE_ESCAPE, true);
    window.pushKey(SDL_SCANCODE_ESCAPE, false);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 1);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);

    // The state does not depend on who takes the events from the queue.
    window.pushKey(SDL_SCANCODE_ESCAPE, true);
    window.pump();
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE), 0);
    settle(SDL_SCANCODE_ESCAPE, VK_ESCAPE, window);
    window.pump();
}

TEST(Win32Keys, GenericAltStaysDownWhileEitherAltIsHeld) {
    TestWindow window;
    settle(SDL_SCANCODE_LALT, VK_MENU, window);
    settle(SDL_SCANCODE_RALT, VK_MENU, window);
    window.pushKey(SDL_SCANCODE_LALT, true);
    window.pushKey(SDL_SCANCODE_RALT, true);
    window.pushKey(SDL_SCANCODE_LALT, false);
    EXPECT_TRUE(GetAsyncKeyState(VK_MENU) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_LMENU) & 0x8000);
    EXPECT_TRUE(GetAsyncKeyState(VK_RMENU) & 0x8000);
    window.pushKey(SDL_SCANCODE_RALT, false);
    EXPECT_EQ(GetAsyncKeyState(VK_MENU), 0);
    EXPECT_EQ(GetAsyncKeyState(0), 0);
    EXPECT_EQ(GetAsyncKeyState(1000), 0);
    window.pump();
}

TEST(Win32Messages, PostedMessagesComeBeforeQuitAndFiltersApply) {
    TestWindow window;
    ASSERT_TRUE(PostMessageW(window.handle(), WM_USER + 1, 7, 9));
    ASSERT_TRUE(PostMessageW(nullptr, WM_USER + 2, 0, 0));
    PostQuitMessage(3);

    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2)) << "thread messages only";
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window.handle());
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(DispatchMessageW(&msg), 0);
    EXPECT_EQ(window.received(WM_USER + 1).size(), 1u);

    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_FALSE(PeekMessageW(&msg, window.handle(), 0, 0, PM_REMOVE))
        << "WM_QUIT belongs to no window";
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Win32Messages, DestroyingAWindowDropsItsQueuedMessages) {
    TestWindow window;
    PostMessageW(window.handle(), WM_USER, 0, 0);
    DestroyWindow(window.handle());
    window.clearReceived();
    EXPECT_TRUE(window.pump());
    EXPECT_TRUE(window.received(WM_USER).empty());
    EXPECT_FALSE(PostMessageW(window.handle(), WM_USER, 0, 0)) << "stale handle";
}

TEST(Win32Threads, SleepWaitsAndPriorityAcceptsOnlyKnownLevelsForTheCurrentThread) {
    const auto start = SDL_GetTicks64();
    Sleep(20);
    EXPECT_GE(SDL_GetTicks64() - start, 20u);
    EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 42));
    EXPECT_FALSE(SetThreadPriority(nullptr, THREAD_PRIORITY_NORMAL));
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
}

} // namespace
} // namespace quavel::test
