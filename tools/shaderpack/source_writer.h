// Writes a byte block as a C++ source file defining `name` and `name_size`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shaderpack {

std::string byteBlockSource(const std::string& name, const std::vector<uint8_t>& bytes);

} // namespace shaderpack
