// Paths are UTF-8 strings everywhere in the system (on Windows the command line is read as
// UTF-16 and converted, and the manifest's UTF-8 code page makes fopen, the C++ streams and
// stb take them). std::filesystem's narrow strings are not UTF-8 on Windows (libstdc++ widens
// them byte by byte), so a path given to std::filesystem for a call to the system goes in
// through pathFromUtf8 and comes out through utf8Of:
//
//   fs::create_directories(files::pathFromUtf8(folder), error);
//   std::string absolute = files::utf8Of(fs::absolute(files::pathFromUtf8(folder)));
//
// On Linux both are the identity.
#pragma once

#include <filesystem>
#include <string>

namespace files {

inline std::filesystem::path pathFromUtf8(const std::string& utf8) {
    return std::filesystem::u8path(utf8);
}

inline std::string utf8Of(const std::filesystem::path& path) {
    return path.u8string();
}

} // namespace files
