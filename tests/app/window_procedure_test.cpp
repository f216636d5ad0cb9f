// The show's window procedure with the default path replaced by a recorder. The default
// handling answers 0 to WM_SIZE and to the key-menu command just as the procedure must, so
// only what reaches the default path tells a procedure that swallows them from one that does
// not. This file's DefWindowProcW takes the place of the platform's at link time.
#include "app/window_device.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Call {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Call> defaultCalls;
constexpr LRESULT kDefaultAnswer = 0x5EED;

} // namespace

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    defaultCalls.push_back({window, message, wParam, lParam});
    return kDefaultAnswer;
}

namespace {

TEST(ShowWindowProcedure, SwallowsResizeAndKeyMenuQuitsOnDestroyAndPassesTheRestOn) {
    HWND window = reinterpret_cast<HWND>(0x1234);
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool reachesDefault;
    } cases[] = {
        {WM_SIZE, SIZE_RESTORED, MAKELPARAM(1200, 700), false},
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1920, 1080), false},
        {WM_SYSCOMMAND, SC_KEYMENU, 0, false},
        {WM_SYSCOMMAND, SC_KEYMENU | 0x3, 'f', false}, // the low four bits are the system's
        {WM_SYSCOMMAND, SC_CLOSE, 0, true},
        {WM_SYSCOMMAND, SC_KEYMENU + 0x10, 0, true},
        {WM_CLOSE, 0, 0, true},
        {WM_SYSKEYDOWN, VK_MENU, LPARAM(1) << 29, true},
        {WM_KEYDOWN, VK_ESCAPE, 1, true},
        {WM_MOVE, 0, MAKELPARAM(160, 90), true},
    };
    for (const Case& c : cases) {
        defaultCalls.clear();
        const LRESULT answer = demoWindowProc(window, c.message, c.wParam, c.lParam);
        const std::string what =
            "message " + std::to_string(c.message) + ", wParam " + std::to_string(c.wParam);
        if (!c.reachesDefault) {
            EXPECT_EQ(answer, 0) << what;
            EXPECT_TRUE(defaultCalls.empty()) << what;
            continue;
        }
        EXPECT_EQ(answer, kDefaultAnswer) << what;
        ASSERT_EQ(defaultCalls.size(), 1u) << what;
        EXPECT_EQ(defaultCalls[0].window, window) << what;
        EXPECT_EQ(defaultCalls[0].message, c.message) << what;
        EXPECT_EQ(defaultCalls[0].wParam, c.wParam) << what;
        EXPECT_EQ(defaultCalls[0].lParam, c.lParam) << what;
    }

    // WM_DESTROY posts the quit message with code 0 and is not handed on.
    MSG message{};
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    defaultCalls.clear();
    EXPECT_EQ(demoWindowProc(window, WM_DESTROY, 0, 0), 0);
    EXPECT_TRUE(defaultCalls.empty());
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 0u);
}

} // namespace
