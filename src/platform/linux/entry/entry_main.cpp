// The process entry on Linux: the show is a Windows GUI program whose entry function is
// WinMain, so the C entry point hands over to it with the arguments Windows would pass (the
// command line after the program's name, arguments separated by single spaces).
#include <string>

#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

int main(int argc, char** argv) {
    static std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    return WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
