// Writing drawn pictures as the PNG flavours the show embeds.
#pragma once

#include "canvas.h"

#include <string>

namespace pictures {

// Quantises to at most maxColours palette entries and writes an indexed PNG.
bool writeIndexed(const std::string& path, const Canvas& canvas, int maxColours,
                  std::string& error);

// A two-level mask: 1 as opaque white, 0 as transparent black, in a 1-bit grey PNG.
bool writeMaskGrey(const std::string& path, const Plane& mask, std::string& error);

// A two-level mask as a two-entry palette (transparent black, opaque white).
bool writeMaskIndexed(const std::string& path, const Plane& mask, std::string& error);

} // namespace pictures
