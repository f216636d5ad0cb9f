// Writes a byte block as a C++ source file defining `name` and `name_size`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shaderpack {

std::string byteBlockSource(const std::string& name, const std::vector<uint8_t>& bytes);

// lowerCamelCase of a file stem: ps_copy -> psCopy, vs_fullscreen_flip_y2 -> vsFullscreenFlipY2.
std::string blockNameFromStem(const std::string& stem);

} // namespace shaderpack
