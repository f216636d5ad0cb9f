// Packs an XmModule into the bytes of an XM 0x0104 file.
#pragma once

#include "xm_module.h"

#include <cstdint>
#include <vector>

namespace composer {

// Throws std::invalid_argument when the module cannot be expressed in the format (more than
// 256 orders or patterns, a pattern of more than 256 rows, more than 12 envelope points...).
std::vector<uint8_t> writeXm(const XmModule& module);

} // namespace composer
