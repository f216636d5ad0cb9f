#include "platform/window_creation_error.h"

#include <cstdio>

#include "platform/win32.h"

std::string windowCreationError() {
    const DWORD code = GetLastError();
    WCHAR* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string message;
    if (length > 0 && text != nullptr) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
        message.resize(std::size_t(bytes > 0 ? bytes : 0));
        WideCharToMultiByte(CP_UTF8, 0, text, int(length), message.data(), bytes, nullptr, nullptr);
        // The system's messages end with a full stop and a line break.
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                    message.back() == ' ' || message.back() == '.'))
            message.pop_back();
    }
    if (text != nullptr)
        LocalFree(text);
    char number[24];
    std::snprintf(number, sizeof number, "error %lu", static_cast<unsigned long>(code));
    return "the window cannot be made (CreateWindowExW: " +
           (message.empty() ? std::string(number) : message + ", " + number) + ")";
}
