#include "files/work_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace files {

std::string workName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    return folder + "." + name + ".partial" + extension;
}

bool deliverWork(const std::string& work, const std::string& path, std::string* error) {
    if (std::rename(work.c_str(), path.c_str()) != 0) {
        *error = "cannot create '" + path + "': " + std::strerror(errno);
        abandonWork(work);
        return false;
    }
    return true;
}

void abandonWork(const std::string& work) {
    unlink(work.c_str());
}

} // namespace files
