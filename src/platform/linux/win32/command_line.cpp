// GetCommandLineW from the arguments Linux gave the process, and CommandLineToArgvW with the
// splitting rules Windows documents for it (those of the Microsoft C runtime).
#include "platform/linux/win32/command_line.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/linux/win32/win32_api.h"

namespace quavel::win32 {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote: the ones in the text, and (at the
        // end) the ones before the closing quote.
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

// The program's name ends at the first blank, or, when it starts with a quote, at the next
// quote; backslashes mean nothing in it.
const wchar_t* readProgramName(const wchar_t* p, std::wstring& name) {
    if (*p == L'"') {
        for (++p; *p != 0 && *p != L'"'; ++p)
            name += *p;
        if (*p == L'"')
            ++p;
    } else {
        for (; *p != 0 && !isBlank(*p); ++p)
            name += *p;
    }
    return p;
}

// One argument after the first: 2n backslashes and a quote give n backslashes and open or
// close a quoted part; 2n + 1 backslashes and a quote give n backslashes and a literal quote;
// backslashes before anything else stay as they are. Inside a quoted part, "" is a literal
// quote.
const wchar_t* readArgument(const wchar_t* p, std::wstring& argument) {
    bool inQuotes = false;
    while (*p != 0 && (inQuotes || !isBlank(*p))) {
        if (*p == L'\\') {
            std::size_t backslashes = 0;
            for (; *p == L'\\'; ++p)
                ++backslashes;
            if (*p == L'"') {
                argument.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    argument += L'"';
                    ++p;
                }
            } else {
                argument.append(backslashes, L'\\');
            }
            continue;
        }
        if (*p == L'"') {
            if (inQuotes && p[1] == L'"') {
                argument += L'"';
                p += 2;
                continue;
            }
            inQuotes = !inQuotes;
            ++p;
            continue;
        }
        argument += *p++;
    }
    return p;
}

std::vector<std::string> processArguments() {
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find('\0', start);
        arguments.push_back(all.substr(start, end - start));
        start = end == std::string::npos ? all.size() : end + 1;
    }
    return arguments;
}

} // namespace

std::wstring windowsCommandLine(const std::vector<std::string>& arguments) {
    std::wstring line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring wide = fromUtf8(arguments[i]);
        if (i == 0)
            line += wide.find_first_of(L" \t") == std::wstring::npos && !wide.empty()
                        ? wide
                        : L"\"" + wide + L"\"";
        else
            line += L" " + quoted(wide);
    }
    return line;
}

std::wstring fromUtf8(const std::string& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80                   ? 0
                          : lead >= 0xF0 && lead < 0xF5 ? 3
                          : lead >= 0xE0                ? 2
                          : lead >= 0xC2                ? 1
                                                        : -1;
        char32_t c = extra == 0   ? lead
                     : extra == 1 ? lead & 0x1F
                     : extra == 2 ? lead & 0x0F
                                  : lead & 0x07;
        bool valid = extra >= 0 && i + std::size_t(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + std::size_t(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += wchar_t(0xFFFD);
            ++i;
            continue;
        }
        out += wchar_t(c);
        i += std::size_t(extra) + 1;
    }
    return out;
}

} // namespace quavel::win32

LPWSTR WINAPI GetCommandLineW(VOID) {
    static std::wstring line = quavel::win32::windowsCommandLine(quavel::win32::processArguments());
    return line.data();
}

LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR lpCmdLine, int* pNumArgs) {
    if (lpCmdLine == nullptr || pNumArgs == nullptr)
        return nullptr;
    std::vector<std::wstring> arguments(1);
    const wchar_t* p = lpCmdLine;
    if (*p == 0) {
        // An empty command line gives the executable's path as the only argument.
        arguments[0] = quavel::win32::fromUtf8(quavel::win32::processArguments().at(0));
    } else {
        p = quavel::win32::readProgramName(p, arguments[0]);
        for (;;) {
            while (quavel::win32::isBlank(*p))
                ++p;
            if (*p == 0)
                break;
            arguments.emplace_back();
            p = quavel::win32::readArgument(p, arguments.back());
        }
    }
    // One block, freed with LocalFree: the pointer table, then the strings.
    std::size_t bytes = (arguments.size() + 1) * sizeof(LPWSTR);
    for (const std::wstring& a : arguments)
        bytes += (a.size() + 1) * sizeof(WCHAR);
    auto** table = static_cast<LPWSTR*>(std::malloc(bytes));
    if (table == nullptr)
        return nullptr;
    auto* text = reinterpret_cast<WCHAR*>(table + arguments.size() + 1);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        table[i] = text;
        std::memcpy(text, arguments[i].c_str(), (arguments[i].size() + 1) * sizeof(WCHAR));
        text += arguments[i].size() + 1;
    }
    table[arguments.size()] = nullptr;
    *pNumArgs = static_cast<int>(arguments.size());
    return table;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
    std::free(hMem);
    return nullptr;
}
