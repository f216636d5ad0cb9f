// The self-check's frames as PNG files, written whole or not at all (files/output_file.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes `rgba` (width x height, 4 bytes a pixel, row 0 at the top) as a PNG file at `path`.
bool writeCheckFrame(const std::string& path, const std::vector<std::uint8_t>& rgba,
                     std::uint32_t width, std::uint32_t height);
