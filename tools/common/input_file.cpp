#include "input_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {
namespace {

std::string reason(const std::string& path) {
    return "cannot read '" + path + "': " + std::strerror(errno);
}

std::string sizeText(std::uint64_t bytes) {
    return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MiB"
                               : std::to_string(bytes) + " bytes";
}

// Reads the whole file into *out (a byte vector or a string).
template <typename Bytes>
bool readAll(const std::string& path, std::uint64_t maxBytes, Bytes* out, std::string* error) {
    out->clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = reason(path);
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        *error = reason(path);
        close(fd);
        return false;
    }
    if (S_ISDIR(info.st_mode) || S_ISBLK(info.st_mode)) {
        *error = "'" + path + "' is a " + (S_ISDIR(info.st_mode) ? "directory" : "block device") +
                 ", not a file";
        close(fd);
        return false;
    }
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *error = reason(path);
            close(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        if (out->size() + static_cast<std::uint64_t>(got) > maxBytes) {
            *error =
                "'" + path + "' is larger than " + sizeText(maxBytes) + "; refusing to read it";
            close(fd);
            return false;
        }
        out->insert(out->end(), chunk, chunk + got);
    }
    close(fd);
    return true;
}

} // namespace

bool readInputFile(const std::string& path, std::uint64_t maxBytes,
                   std::vector<std::uint8_t>* bytes, std::string* error) {
    return readAll(path, maxBytes, bytes, error);
}

bool readInputFile(const std::string& path, std::uint64_t maxBytes, std::string* bytes,
                   std::string* error) {
    return readAll(path, maxBytes, bytes, error);
}

} // namespace cli
