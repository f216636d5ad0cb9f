// The process entry on Linux: the show is a Windows GUI program whose entry function is
// WinMain, so the C entry point hands over to it with the arguments Windows would pass.
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

int main(int, char**) {
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleW(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT);
}
