// Wide strings as the Win32 layer receives them. wchar_t holds whole code points (UTF-32) on
// Linux, so L"..." literals written for Windows arrive here unchanged and only need
// converting where SDL expects UTF-8.
#pragma once

#include <string>

#include "platform/linux/win32/win32_types.h"

namespace quavel::win32 {

// Appends the UTF-8 encoding of one code point; invalid code points become U+FFFD.
void appendUtf8(std::string& out, char32_t c);

// UTF-8 encoding of a null-terminated wide string; invalid code points become U+FFFD.
std::string toUtf8(LPCWSTR text);

// Copies `text` into a caller buffer of `capacity` characters as GetWindowTextW does: at most
// capacity - 1 characters and a terminating null; returns the number of characters copied.
int copyToBuffer(const std::wstring& text, LPWSTR buffer, int capacity);

} // namespace quavel::win32
