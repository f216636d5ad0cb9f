// A ZIP archive of files stored as they are (no compression): what the self-check hands a
// tester to attach, readable by Windows' Explorer and every unzip.
//
//   std::string error;
//   if (!files::writeStoredZip("run.zip", {{"run/report.txt", "/tmp/run/report.txt"}}, &error))
//       ...
//
// Names are UTF-8 with '/' between folders (the archive says so, flag bit 11); each entry
// carries its CRC-32 and the time of writing. Sizes above 4 GiB (ZIP64) are refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace files {

struct ZipEntry {
    std::string name; // inside the archive
    std::string path; // on disk
};

bool writeStoredZip(const std::string& zipPath, const std::vector<ZipEntry>& entries,
                    std::string* error);

// The CRC-32 of ZIP and PNG (reflected polynomial 0xEDB88320), continued from `crc`.
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

} // namespace files
