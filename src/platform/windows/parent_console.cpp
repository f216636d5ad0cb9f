#include "platform/parent_console.h"

#include <cstdio>

#include "platform/win32.h"

namespace {

bool redirected(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

bool attachParentConsole() {
    if (redirected(STD_OUTPUT_HANDLE))
        return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return false;
    // The C runtime's streams were set up without a console; point them at the parent's.
    std::FILE* ignored = nullptr;
    ignored = std::freopen("CONOUT$", "w", stdout);
    if (!redirected(STD_ERROR_HANDLE))
        ignored = std::freopen("CONOUT$", "w", stderr);
    (void)ignored;
    // The prompt was already printed before the program's first line: start on a new line.
    std::fputs("\n", stdout);
    return true;
}
