// Reading a tool's input file whole, with a refusal that names the file and the reason.
//
//   std::string error;
//   std::vector<std::uint8_t> bytes;
//   if (!readInputFile(path, kMaxBytes, &bytes, &error)) return cli::failure("tool", error);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// Reads `path` into *bytes. Refuses a directory, a block device, a file that cannot be opened
// (with the system's reason) and one longer than maxBytes (so /dev/zero cannot fill memory).
bool readInputFile(const std::string& path, std::uint64_t maxBytes,
                   std::vector<std::uint8_t>* bytes, std::string* error);
bool readInputFile(const std::string& path, std::uint64_t maxBytes, std::string* bytes,
                   std::string* error);

} // namespace cli
