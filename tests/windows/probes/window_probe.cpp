// window_probe SECONDS [close|escape]: waits up to SECONDS for the message box that reports a
// failed start-up, prints what it finds then (the show's window, or show_window=none, and the
// box) as key=value lines, and then ends the show the chosen way: "close" sends WM_CLOSE to
// the show's window, "escape" presses Escape in the message box. Exit status 0 when the box
// was found. The probe is DPI-aware, so it sees the window in physical pixels.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void printWide(const char* key, const wchar_t* text) {
    char utf8[1024];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s=", key);
    for (const char* c = utf8; *c; ++c)
        std::putchar(*c == '\n' || *c == '\r' ? ' ' : *c);
    std::putchar('\n');
}

HWND waitFor(const wchar_t* className, const wchar_t* title, DWORD deadline) {
    while (GetTickCount() < deadline) {
        if (HWND w = FindWindowW(className, title))
            return w;
        Sleep(50);
    }
    return nullptr;
}

void describeShowWindow(HWND w) {
    wchar_t text[256];
    GetClassNameW(w, text, 256);
    printWide("class", text);
    GetWindowTextW(w, text, 256);
    printWide("title", text);
    RECT r;
    GetWindowRect(w, &r);
    std::printf("rect=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    std::printf("popup=%d caption=%d visible=%d\n", (style & WS_POPUP) != 0,
                (style & WS_CAPTION) == WS_CAPTION, IsWindowVisible(w) ? 1 : 0);
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    std::printf("desktop=%ld,%ld\n", desktop.right, desktop.bottom);
}

void describeMessageBox(HWND box) {
    wchar_t text[1024];
    GetWindowTextW(box, text, 1024);
    printWide("box_title", text);
    // The message text is the box's static control with id 0xFFFF.
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    printWide("box_text", text);
}

void pressEscape(HWND box) {
    SetForegroundWindow(box);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help")) {
        std::printf("usage: window_probe SECONDS [close|escape]\n");
        return argc < 2 ? 2 : 0;
    }
    SetProcessDPIAware();
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(std::atof(argv[1]) * 1000);
    const char* action = argc > 2 ? argv[2] : "";
    // The box comes after the window has been placed, so the window is looked at then.
    HWND box = waitFor(L"#32770", L"quavel1 cannot start", deadline);
    HWND show = FindWindowW(L"DemoTemplate", nullptr);
    HDC screen = GetDC(nullptr);
    std::printf("dpi=%d\n", GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    if (show)
        describeShowWindow(show);
    else
        std::printf("show_window=none\n");
    if (!box) {
        std::printf("message_box=none\n");
        return 1;
    }
    describeMessageBox(box);
    std::fflush(stdout);
    if (!std::strcmp(action, "close") && show)
        PostMessageW(show, WM_CLOSE, 0, 0);
    else if (!std::strcmp(action, "escape"))
        pressEscape(box);
    return 0;
}
