// The few POSIX file calls the command-line tools use that the Windows C runtime names
// differently or lacks. The Windows build force-includes this header into the tools (see
// tools/CMakeLists.txt), so their sources stay free of platform conditionals.
#pragma once

#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

// Flushes a file's data to the disk.
inline int fsync(int fd) {
    return _commit(fd);
}

// Windows files have no POSIX permission bits; a new file is readable and writable already.
inline int fchmod(int, mode_t) {
    return 0;
}
