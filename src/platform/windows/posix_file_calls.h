// The few POSIX file calls the command-line tools use that the Windows C runtime names
// differently or lacks. The Windows build force-includes this header into the tools (see
// tools/CMakeLists.txt), so their sources stay free of platform conditionals.
#pragma once

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
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

// Windows has no symbolic links the C runtime knows of: a path is what it names.
inline int lstat(const char* path, struct stat* info) {
    return stat(path, info);
}

// The absolute form of a path (the buffer holds _MAX_PATH characters), with forward slashes
// as the tools split names at them (Windows accepts both).
inline char* realpath(const char* path, char* resolved) {
    if (_fullpath(resolved, path, _MAX_PATH) == nullptr) {
        return nullptr;
    }
    for (char* c = resolved; *c != '\0'; ++c) {
        if (*c == '\\') {
            *c = '/';
        }
    }
    return resolved;
}

// A copy of a descriptor that writes bytes unchanged (standard output starts in text mode,
// which would turn every 0x0A into 0x0D 0x0A).
inline int posix_binary_dup(int fd) {
    const int copy = _dup(fd);
    if (copy >= 0) {
        _setmode(copy, _O_BINARY);
    }
    return copy;
}
#define dup posix_binary_dup
