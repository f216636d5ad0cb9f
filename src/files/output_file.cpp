#include "files/output_file.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "files/temporary_cleanup.h"

namespace files {
namespace {

std::string because(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string lowerAbsolute(const std::string& path) {
    char resolved[PATH_MAX];
    std::string name = realpath(path.c_str(), resolved) ? resolved : path;
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

// The input that is the same regular file as the output, if any: by device and file number,
// or, where the system gives no file numbers (Windows' C runtime reports 0), by absolute
// name, ignoring case as Windows does.
const std::string* sameAsInput(const std::string& path, const struct stat& output,
                               const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        struct stat info {};
        if (stat(input.c_str(), &info) != 0 || info.st_dev != output.st_dev ||
            info.st_ino != output.st_ino) {
            continue;
        }
        if (output.st_ino != 0 || lowerAbsolute(input) == lowerAbsolute(path)) {
            return &input;
        }
    }
    return nullptr;
}

mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// What an output path turns out to be, and how it is written.
struct Destination {
    enum Kind { Refused, NewFile, RegularFile, Direct } kind = Refused;
    std::string target; // the regular file to create or replace, links resolved
    mode_t mode = 0;    // permissions of the file written
};

Destination classify(const std::string& path, const std::vector<std::string>& inputs,
                     std::string* error) {
    if (path == "-") {
        return {Destination::Direct, path, 0};
    }
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0) {
        if (errno != ENOENT) {
            *error = because("cannot write", path);
            return {};
        }
        return {Destination::NewFile, path, newFileMode()};
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        *error = errno == ENOENT ? "'" + path + "' is a symbolic link to a missing file; " +
                                       "refusing to write through it"
                                 : because("cannot write", path);
        return {};
    }
    if (S_ISDIR(info.st_mode)) {
        *error = "'" + path + "' is a directory; give a file name";
        return {};
    }
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)) {
        return {Destination::Direct, path, 0};
    }
    if (!S_ISREG(info.st_mode)) {
        *error = "'" + path + "' is not a regular file, a character device or a FIFO; " +
                 "refusing to write to it";
        return {};
    }
    if (const std::string* input = sameAsInput(path, info, inputs)) {
        *error = "'" + path + "' is the input file '" + *input + "'; choose another output";
        return {};
    }
    if (access(path.c_str(), W_OK) != 0) {
        *error = because("cannot write", path);
        return {};
    }
    // Through links the file itself is replaced, not the link.
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
        *error = because("cannot write", path);
        return {};
    }
    return {Destination::RegularFile, resolved, static_cast<mode_t>(info.st_mode & 07777)};
}

// Makes and removes a hidden file named after `name` in `folder`; false with errno set when
// the folder takes no new file.
bool probeFolder(const std::string& folder, const std::string& name) {
    std::string probe = folder + "/." + name + ".probe-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

} // namespace

bool checkFolder(const std::string& folder, std::string* error) {
    if (!probeFolder(folder, "folder")) {
        *error = because("cannot write into the folder", folder);
        return false;
    }
    return true;
}

bool checkOutput(const std::string& path, const std::vector<std::string>& inputs,
                 std::string* error) {
    const Destination d = classify(path, inputs, error);
    if (d.kind == Destination::NewFile || d.kind == Destination::RegularFile) {
        // The temporary file goes next to the target: its folder must take new files. Only
        // making one shows it: for root, access() says yes to folders such as /proc that take
        // none.
        const std::string folder = folderOf(d.target);
        if (!probeFolder(folder, nameOf(d.target))) {
            *error = because("cannot create", path) + " (in '" + folder + "')";
            return false;
        }
    }
    return d.kind != Destination::Refused;
}

bool writeWholeFile(const std::string& path, const void* data, std::size_t size,
                    const std::vector<std::string>& inputs, std::string* error) {
    OutputFile out;
    if (!out.open(path, inputs, error)) {
        return false;
    }
    if (std::fwrite(data, 1, size, out.stream()) != size) {
        *error = out.writeError();
        return false;
    }
    return out.commit(error);
}

OutputFile::~OutputFile() {
    abandon();
}

bool OutputFile::open(const std::string& path, const std::vector<std::string>& inputs,
                      std::string* error) {
    abandon();
    path_ = path;
    const Destination d = classify(path, inputs, error);
    switch (d.kind) {
    case Destination::Refused:
        return false;
    case Destination::Direct:
        return openDirect(error);
    case Destination::NewFile:
    case Destination::RegularFile:
        break;
    }
    return openTemporary(d.target, d.mode, error);
}

bool OutputFile::openDirect(std::string* error) {
    if (path_ == "-") {
        // A stream of its own on standard output, so commit() can close it like any other.
        std::fflush(stdout);
        const int fd = dup(fileno(stdout));
        file_ = fd < 0 ? nullptr : fdopen(fd, "wb");
        if (file_ == nullptr && fd >= 0) {
            close(fd);
        }
    } else {
        // Devices and FIFOs ignore the truncation that "wb" asks for.
        file_ = std::fopen(path_.c_str(), "wb");
    }
    if (file_ == nullptr) {
        *error = because("cannot write", path_);
        return false;
    }
    return true;
}

bool OutputFile::openTemporary(const std::string& target, unsigned mode, std::string* error) {
    target_ = target;
    std::string pattern = folderOf(target) + "/." + nameOf(target) + ".partial-XXXXXX";
    const int fd = createRememberedTemporary(pattern.data(), &cleanupSlot_);
    if (fd < 0) {
        *error = because("cannot create", path_);
        return false;
    }
    temporary_ = pattern;
    // mkstemp makes the file private; give it the permissions the final file should have.
    fchmod(fd, static_cast<mode_t>(mode));
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        *error = because("cannot create", path_);
        close(fd);
        abandon();
        return false;
    }
    return true;
}

std::string OutputFile::writeError() const {
    return because("cannot write", path_);
}

bool OutputFile::commit(std::string* error) {
    if (file_ == nullptr) {
        *error = "'" + path_ + "' is not open";
        return false;
    }
    bool written = std::fflush(file_) == 0;
    if (written && seekable()) {
        written = fsync(fileno(file_)) == 0;
    }
    const int savedErrno = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        errno = written ? errno : savedErrno;
        *error = writeError();
        abandon();
        return false;
    }
    if (seekable()) {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            *error = because("cannot create", path_);
            abandon();
            return false;
        }
        forgetTemporary(cleanupSlot_);
        cleanupSlot_ = -1;
        temporary_.clear();
    }
    return true;
}

void OutputFile::abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        forgetTemporary(cleanupSlot_);
        cleanupSlot_ = -1;
        temporary_.clear();
    }
}

} // namespace files
