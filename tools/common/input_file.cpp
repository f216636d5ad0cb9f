#include "input_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

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
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = reason(path);
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file), &info) != 0) {
        *error = reason(path);
        std::fclose(file);
        return false;
    }
    if (S_ISDIR(info.st_mode) || S_ISBLK(info.st_mode)) {
        *error = "'" + path + "' is a " + (S_ISDIR(info.st_mode) ? "directory" : "block device") +
                 ", not a file";
        std::fclose(file);
        return false;
    }
    char chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (out->size() + got > maxBytes) {
            *error =
                "'" + path + "' is larger than " + sizeText(maxBytes) + "; refusing to read it";
            std::fclose(file);
            return false;
        }
        out->insert(out->end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            break;
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *error = reason(path);
        return false;
    }
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
