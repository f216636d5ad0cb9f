#include "platform/linux/win32/wide_text.h"

#include <algorithm>
#include <cwchar>

#include "platform/linux/win32/win32_api.h"

namespace quavel::win32 {

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string toUtf8(LPCWSTR text) {
    std::string out;
    if (text == nullptr)
        return out;
    for (; *text != 0; ++text)
        appendUtf8(out, static_cast<char32_t>(*text));
    return out;
}

int copyToBuffer(const std::wstring& text, LPWSTR buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0)
        return 0;
    const int count = static_cast<int>(std::min<std::size_t>(text.size(), capacity - 1));
    std::copy_n(text.data(), count, buffer);
    buffer[count] = 0;
    return count;
}

} // namespace quavel::win32

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH, LPBOOL) {
    if (CodePage != CP_UTF8 || lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0)
        return 0;
    // A length of -1 means up to and with the terminating null, which is then counted.
    const std::wstring wide = cchWideChar < 0
                                  ? std::wstring(lpWideCharStr, std::wcslen(lpWideCharStr) + 1)
                                  : std::wstring(lpWideCharStr, std::size_t(cchWideChar));
    std::string utf8;
    for (wchar_t c : wide)
        quavel::win32::appendUtf8(utf8, static_cast<char32_t>(c));
    if (cbMultiByte == 0)
        return static_cast<int>(utf8.size());
    if (utf8.size() > std::size_t(cbMultiByte))
        return 0; // ERROR_INSUFFICIENT_BUFFER
    std::copy(utf8.begin(), utf8.end(), lpMultiByteStr);
    return static_cast<int>(utf8.size());
}
