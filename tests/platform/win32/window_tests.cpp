// The show's window: class, style, size, placement, visibility, and how it ends.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/test_window.h"

namespace quavel::test {
namespace {

TEST(Win32Window, IsABorderlessShown1600x900WindowOfTheRegisteredClass) {
    TestWindow window;
    ASSERT_NE(window.handle(), nullptr);
    ASSERT_NE(window.sdlWindow(), nullptr);
    const Uint32 flags = SDL_GetWindowFlags(window.sdlWindow());
    EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
    EXPECT_TRUE(flags & SDL_WINDOW_SHOWN);
    EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);

    RECT client{};
    ASSERT_TRUE(GetClientRect(window.handle(), &client));
    EXPECT_EQ(client.right - client.left, 1600);
    EXPECT_EQ(client.bottom - client.top, 900);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window.handle(), GWL_STYLE)),
              WS_POPUP | WS_VISIBLE);

    wchar_t text[64];
    EXPECT_EQ(GetClassNameW(window.handle(), text, 64), 12);
    EXPECT_EQ(std::wstring(text), L"DemoTemplate");
    EXPECT_EQ(GetWindowTextW(window.handle(), text, 64), 7);
    EXPECT_EQ(std::wstring(text), L"quavel1");
    EXPECT_EQ(GetWindowTextW(window.handle(), text, 4), 3); // truncated, still terminated
    EXPECT_EQ(std::wstring(text), L"qua");

    // The desktop rectangle is the display's (the show centres itself on it; its placement is
    // checked by ShowWindow.BorderlessCentredWithItsClassAndTitle).
    RECT desktop{};
    ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &desktop));
    SDL_Rect bounds{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &bounds), 0);
    EXPECT_EQ(desktop.left, 0);
    EXPECT_EQ(desktop.top, 0);
    EXPECT_EQ(desktop.right, bounds.w);
    EXPECT_EQ(desktop.bottom, bounds.h);
}

TEST(Win32Window, ASecondWindowReportsItsFirstSizeStartsHiddenAndTakesAUtf8Title) {
    TestWindow window; // its constructor drains and clears, so create a second one by hand
    window.clearReceived();
    const HWND second = CreateWindowExW(0, L"demotemplate", L"Zo\u00eb \u2014 \U0001F3B5", WS_POPUP,
                                        0, 0, 320, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(second, nullptr) << "class names compare without case";
    const auto sizes = window.received(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(320, 200));
    EXPECT_FALSE(SDL_GetWindowFlags(quavelSdlWindowFromHwnd(second)) & SDL_WINDOW_SHOWN)
        << "without WS_VISIBLE the window starts hidden";
    EXPECT_STREQ(SDL_GetWindowTitle(quavelSdlWindowFromHwnd(second)),
                 "Zo\xc3\xab \xe2\x80\x94 \xf0\x9f\x8e\xb5");
    DestroyWindow(second);
    window.pump(); // its WM_DESTROY posted a quit; consume it
}

TEST(Win32Window, ClosingOrATerminationRequestEndsInQuitThroughTheWindowProcedure) {
    for (bool terminate : {false, true}) {
        TestWindow window;
        if (terminate) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        } else {
            window.pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
        }
        EXPECT_TRUE(window.pump()) << "terminate " << terminate;
        EXPECT_EQ(window.received(WM_CLOSE).size(), 1u) << "terminate " << terminate;
        EXPECT_EQ(window.received(WM_DESTROY).size(), 1u) << "terminate " << terminate;
        EXPECT_EQ(quavelSdlWindowFromHwnd(window.handle()), nullptr) << "window destroyed";
        EXPECT_FALSE(window.pump()) << "the quit message comes once";
    }
}

TEST(Win32Window, AGlContextOnTheWindowOutlivesItsDestruction) {
    // The show renders and presents the frame during which the window was closed; the GL
    // context the Direct3D layer made on the window must still be current and usable then.
    TestWindow window;
    SDL_Window* sdlWindow = window.sdlWindow();
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindow);
    if (context == nullptr)
        GTEST_SKIP() << "no OpenGL here: " << SDL_GetError();
    ASSERT_EQ(SDL_GL_MakeCurrent(sdlWindow, context), 0);
    window.pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_TRUE(window.pump());
    EXPECT_EQ(quavelSdlWindowFromHwnd(window.handle()), nullptr) << "the handle is gone";
    EXPECT_EQ(SDL_GL_GetCurrentContext(), context);
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), sdlWindow);
    EXPECT_FALSE(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_SHOWN) << "but no longer on screen";
    SDL_GL_SwapWindow(sdlWindow);
    SDL_GL_MakeCurrent(sdlWindow, nullptr);
    SDL_GL_DeleteContext(context);
}

TEST(Win32Window, ResizeReachesTheProcedureOncePerSize) {
    TestWindow window;
    // SDL announces one resize twice (resized, then size changed).
    window.pushWindowEvent(SDL_WINDOWEVENT_RESIZED, 800, 600);
    window.pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    window.pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_FALSE(window.pump());
    const auto sizes = window.received(WM_SIZE);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(800, 600));
    EXPECT_EQ(sizes[1].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));

    window.clearReceived();
    ASSERT_TRUE(SetWindowPos(window.handle(), nullptr, 0, 0, 640, 360, SWP_NOMOVE | SWP_NOZORDER));
    ASSERT_EQ(window.received(WM_SIZE).size(), 1u);
    EXPECT_EQ(window.received(WM_SIZE)[0].lParam, MAKELPARAM(640, 360));
    RECT client{};
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, 640);
}

TEST(Win32Window, ShowWindowTogglesVisibilityAndIgnoresANullHandle) {
    TestWindow window;
    EXPECT_EQ(GetConsoleWindow(), nullptr);
    EXPECT_FALSE(ShowWindow(GetConsoleWindow(), SW_HIDE));
    EXPECT_TRUE(ShowWindow(window.handle(), SW_HIDE)) << "was visible";
    EXPECT_FALSE(SDL_GetWindowFlags(window.sdlWindow()) & SDL_WINDOW_SHOWN);
    EXPECT_FALSE(GetWindowLongW(window.handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(ShowWindow(window.handle(), SW_SHOWDEFAULT)) << "was hidden";
    EXPECT_TRUE(SDL_GetWindowFlags(window.sdlWindow()) & SDL_WINDOW_SHOWN);
    EXPECT_TRUE(UpdateWindow(window.handle()));
}

TEST(Win32Window, CursorFollowsTheDisplayCounter) {
    TestWindow window;
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "hidden until the count is back at 0";
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST(Win32Window, UnknownClassesAndHandlesFailCleanly) {
    EXPECT_EQ(CreateWindowExW(0, L"NoSuchClass", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    const HWND stale = reinterpret_cast<HWND>(0x1234);
    RECT rect{};
    EXPECT_FALSE(GetClientRect(stale, &rect));
    EXPECT_FALSE(DestroyWindow(stale));
    EXPECT_FALSE(SetWindowPos(stale, nullptr, 0, 0, 0, 0, SWP_NOSIZE));
    WNDCLASSEXW wrongSize{};
    wrongSize.cbSize = 48;
    wrongSize.lpfnWndProc = DefWindowProcW;
    wrongSize.lpszClassName = L"WrongSize";
    EXPECT_EQ(RegisterClassExW(&wrongSize), 0);
}

} // namespace
} // namespace quavel::test
