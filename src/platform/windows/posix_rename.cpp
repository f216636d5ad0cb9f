// rename() as POSIX defines it: an existing target is replaced, in one step. The Windows C
// runtime's rename refuses an existing target, so a tool that writes its output to a
// temporary file and renames it into place could never overwrite an earlier output. The
// Windows build links the tools with --wrap=rename (tools/CMakeLists.txt), which sends their
// calls here.
#include <cerrno>
#include <string>

#include "platform/win32.h"
#include "platform/windows/wide_text.h"

extern "C" int __wrap_rename(const char* from, const char* to) {
    const std::wstring source = wideText(from), target = wideText(to);
    if (source.empty() || target.empty() ||
        !MoveFileExW(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        errno = EACCES;
        return -1;
    }
    return 0;
}
