// Compiled twice: by the Linux test build against our declarations, and by
// the Windows cross build (tests/windows/probes) against the real Windows headers. Every record
// size, field offset, constant and signature the system relies on is asserted here with its Windows
// value, so a Linux declaration that drifts from the real API fails one of the two builds.
#include <cstddef>
#include <type_traits>

#include "platform/win32.h"

#define EXPECT_SIGNATURE(function, type)                                                           \
    static_assert(std::is_same_v<decltype(&function), type>, #function " signature")

static_assert(sizeof(BOOL) == 4 && sizeof(UINT) == 4 && sizeof(DWORD) == 4 && sizeof(LONG) == 4);
static_assert(sizeof(WORD) == 2 && sizeof(SHORT) == 2 && sizeof(BYTE) == 1);
static_assert(sizeof(WPARAM) == 8 && sizeof(LPARAM) == 8 && sizeof(LRESULT) == 8);
static_assert(sizeof(HRESULT) == 4 && sizeof(ATOM) == 2 && sizeof(GUID) == 16);
static_assert(std::is_signed_v<LONG> && std::is_signed_v<LPARAM> && std::is_unsigned_v<WPARAM>);

static_assert(sizeof(RECT) == 16 && offsetof(RECT, right) == 8 && offsetof(RECT, bottom) == 12);
static_assert(sizeof(POINT) == 8);
static_assert(sizeof(WNDCLASSEXW) == 80);
static_assert(offsetof(WNDCLASSEXW, lpfnWndProc) == 8 && offsetof(WNDCLASSEXW, hInstance) == 24);
static_assert(offsetof(WNDCLASSEXW, lpszClassName) == 64 && offsetof(WNDCLASSEXW, hIconSm) == 72);
static_assert(sizeof(MSG) == 48 && offsetof(MSG, wParam) == 16 && offsetof(MSG, time) == 32);
static_assert(offsetof(MSG, pt) == 36);

static_assert(WM_DESTROY == 0x0002 && WM_SIZE == 0x0005 && WM_CLOSE == 0x0010);
static_assert(WM_QUIT == 0x0012 && WM_SYSCOMMAND == 0x0112 && SC_KEYMENU == 0xF100);
static_assert(WM_KEYDOWN == 0x0100 && WM_SYSKEYDOWN == 0x0104 && WM_SYSKEYUP == 0x0105);
static_assert(SC_CLOSE == 0xF060 && WM_USER == 0x0400);
static_assert(CS_CLASSDC == 0x40 && static_cast<DWORD>(WS_POPUP) == 0x80000000u);
static_assert(static_cast<DWORD>(WS_VISIBLE) == 0x10000000u);
static_assert(static_cast<DWORD>(WS_CAPTION) == 0x00C00000u);
static_assert(SWP_NOSIZE == 1 && SWP_NOMOVE == 2 && SWP_NOZORDER == 4);
static_assert(SW_HIDE == 0 && SW_SHOW == 5 && SW_SHOWDEFAULT == 10 && PM_REMOVE == 1);
static_assert(VK_ESCAPE == 0x1B && VK_MENU == 0x12 && VK_F10 == 0x79 && VK_F4 == 0x73);
static_assert(VK_LMENU == 0xA4 && VK_RMENU == 0xA5);
static_assert(THREAD_PRIORITY_TIME_CRITICAL == 15 && THREAD_PRIORITY_NORMAL == 0);
static_assert(GWL_STYLE == -16 && SIZE_RESTORED == 0 && SIZE_MINIMIZED == 1);
static_assert(S_OK == 0 && E_FAIL == static_cast<HRESULT>(0x80004005u));

EXPECT_SIGNATURE(GetModuleHandleW, HMODULE(WINAPI*)(LPCWSTR));
EXPECT_SIGNATURE(LoadIconW, HICON(WINAPI*)(HINSTANCE, LPCWSTR));
EXPECT_SIGNATURE(RegisterClassExW, ATOM(WINAPI*)(const WNDCLASSEXW*));
EXPECT_SIGNATURE(UnregisterClassW, BOOL(WINAPI*)(LPCWSTR, HINSTANCE));
EXPECT_SIGNATURE(CreateWindowExW, HWND(WINAPI*)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int,
                                                HWND, HMENU, HINSTANCE, LPVOID));
EXPECT_SIGNATURE(DestroyWindow, BOOL(WINAPI*)(HWND));
EXPECT_SIGNATURE(GetDesktopWindow, HWND(WINAPI*)());
EXPECT_SIGNATURE(GetClientRect, BOOL(WINAPI*)(HWND, LPRECT));
EXPECT_SIGNATURE(GetWindowRect, BOOL(WINAPI*)(HWND, LPRECT));
EXPECT_SIGNATURE(SetWindowPos, BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT));
EXPECT_SIGNATURE(ShowWindow, BOOL(WINAPI*)(HWND, int));
EXPECT_SIGNATURE(UpdateWindow, BOOL(WINAPI*)(HWND));
EXPECT_SIGNATURE(GetWindowLongW, LONG(WINAPI*)(HWND, int));
EXPECT_SIGNATURE(GetClassNameW, int(WINAPI*)(HWND, LPWSTR, int));
EXPECT_SIGNATURE(GetWindowTextW, int(WINAPI*)(HWND, LPWSTR, int));
EXPECT_SIGNATURE(ShowCursor, int(WINAPI*)(BOOL));
EXPECT_SIGNATURE(GetConsoleWindow, HWND(WINAPI*)());
EXPECT_SIGNATURE(PeekMessageW, BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT, UINT));
EXPECT_SIGNATURE(TranslateMessage, BOOL(WINAPI*)(const MSG*));
EXPECT_SIGNATURE(DispatchMessageW, LRESULT(WINAPI*)(const MSG*));
EXPECT_SIGNATURE(SendMessageW, LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM));
EXPECT_SIGNATURE(PostMessageW, BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM));
EXPECT_SIGNATURE(DefWindowProcW, LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM));
EXPECT_SIGNATURE(PostQuitMessage, void(WINAPI*)(int));
EXPECT_SIGNATURE(GetAsyncKeyState, SHORT(WINAPI*)(int));
EXPECT_SIGNATURE(Sleep, void(WINAPI*)(DWORD));
EXPECT_SIGNATURE(GetCurrentThread, HANDLE(WINAPI*)());
EXPECT_SIGNATURE(SetThreadPriority, BOOL(WINAPI*)(HANDLE, int));
static_assert(std::is_same_v<WNDPROC, LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM)>);

// Wide literals written for Windows must reach the API as they are on both platforms.
static_assert(std::is_same_v<LPCWSTR, const wchar_t*>);
[[maybe_unused]] static const LPCWSTR kClassName = L"DemoTemplate";
[[maybe_unused]] static const LPCWSTR kIconName = MAKEINTRESOURCEW(101);

// Focus, monitors, the command line, text, power requests and the performance counter.
static_assert(sizeof(MONITORINFO) == 40 && offsetof(MONITORINFO, rcWork) == 20);
static_assert(MONITOR_DEFAULTTONULL == 0 && MONITOR_DEFAULTTOPRIMARY == 1 &&
              MONITOR_DEFAULTTONEAREST == 2);
static_assert(ES_CONTINUOUS == 0x80000000u && ES_DISPLAY_REQUIRED == 2 && ES_SYSTEM_REQUIRED == 1);
static_assert(CP_UTF8 == 65001 && sizeof(LARGE_INTEGER) == 8);
EXPECT_SIGNATURE(GetForegroundWindow, HWND(WINAPI*)());
EXPECT_SIGNATURE(SetForegroundWindow, BOOL(WINAPI*)(HWND));
EXPECT_SIGNATURE(MonitorFromWindow, HMONITOR(WINAPI*)(HWND, DWORD));
EXPECT_SIGNATURE(GetMonitorInfoW, BOOL(WINAPI*)(HMONITOR, LPMONITORINFO));
EXPECT_SIGNATURE(GetCommandLineW, LPWSTR(WINAPI*)());
EXPECT_SIGNATURE(CommandLineToArgvW, LPWSTR*(WINAPI*)(LPCWSTR, int*));
EXPECT_SIGNATURE(LocalFree, HLOCAL(WINAPI*)(HLOCAL));
EXPECT_SIGNATURE(WideCharToMultiByte,
                 int(WINAPI*)(UINT, DWORD, LPCWSTR, int, LPSTR, int, LPCCH, LPBOOL));
EXPECT_SIGNATURE(SetThreadExecutionState, EXECUTION_STATE(WINAPI*)(EXECUTION_STATE));
EXPECT_SIGNATURE(QueryPerformanceCounter, BOOL(WINAPI*)(LARGE_INTEGER*));
EXPECT_SIGNATURE(QueryPerformanceFrequency, BOOL(WINAPI*)(LARGE_INTEGER*));
