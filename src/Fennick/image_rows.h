// Row operations on decoded images.
#pragma once

#include <cstdint>

namespace Fennick::gfx {

// Swaps row i with row height - 1 - i in place, so the first decoded row (the top of the file)
// ends up last; an odd middle row stays where it is.
void flipRowsVertically(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel);

} // namespace Fennick::gfx
