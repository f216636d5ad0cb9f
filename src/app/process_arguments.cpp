#include "app/show_arguments.h"
#include "platform/win32.h"

std::string utf8FromWide(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return "";
    std::string utf8(std::size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.pop_back(); // the terminating null, counted with a length of -1
    return utf8;
}

std::vector<std::string> processArguments() {
    int count = 0;
    LPWSTR* table = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (table == nullptr)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(utf8FromWide(table[i]));
    LocalFree(table);
    return arguments;
}
