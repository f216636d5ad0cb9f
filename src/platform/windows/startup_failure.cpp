// A GUI-subsystem program gets no console. Its standard error leads somewhere only when the
// starting process redirected it (tests, scripts) or gave it a console; a double-click gives
// it neither, and then only a message box can tell the user what went wrong.
#include "platform/startup_failure.h"

#include <cstdio>

#include "platform/win32.h"
#include "platform/windows/wide_text.h"

namespace {

bool standardErrorLeadsSomewhere() {
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    if (handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN)
        return true;
    return GetConsoleWindow() != nullptr;
}

void tellUser(const char* program, const std::string& message, const char* title, UINT icon) {
    if (standardErrorLeadsSomewhere()) {
        std::fprintf(stderr, "%s: %s\n", program, message.c_str());
        std::fflush(stderr);
        return;
    }
    const std::wstring caption = wideText((std::string(program) + title).c_str());
    MessageBoxW(nullptr, wideText(message.c_str()).c_str(), caption.c_str(),
                MB_OK | icon | MB_SETFOREGROUND | MB_TOPMOST);
}

} // namespace

void reportStartupFailure(const char* program, const std::string& message) {
    tellUser(program, message, " cannot start", MB_ICONERROR);
}

void reportStartupNote(const char* program, const std::string& message) {
    tellUser(program, message, "", MB_ICONINFORMATION);
}
