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

} // namespace

void reportStartupFailure(const char* program, const std::string& message) {
    if (standardErrorLeadsSomewhere()) {
        std::fprintf(stderr, "%s: %s\n", program, message.c_str());
        std::fflush(stderr);
        return;
    }
    const std::wstring title = wideText((std::string(program) + " cannot start").c_str());
    MessageBoxW(nullptr, wideText(message.c_str()).c_str(), title.c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}
