// detached_start PROGRAM [ARGUMENTS...]: starts PROGRAM as the desktop starts a program, with no
// console to attach to and no standard handles, waits for it and exits with its exit code.
// Under Wine a program started from a shell (or through start /unix) finds a console, which
// hides the path a double-clicked GUI program takes.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: detached_start PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    // Arguments with spaces are quoted; the others are passed as they are.
    std::wstring commandLine;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const bool quote = argument.find(L' ') != std::wstring::npos;
        commandLine += (i > 1 ? L" " : L"") + (quote ? L"\"" + argument + L"\"" : argument);
    }
    // The child is to find no parent console either.
    FreeConsole();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; // all three null
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &process))
        return 3;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return int(code);
}
