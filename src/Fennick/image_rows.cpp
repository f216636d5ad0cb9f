#include "Fennick/image_rows.h"

#include <algorithm>
#include <cstddef>

namespace Fennick::gfx {

void flipRowsVertically(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel) {
    const size_t rowBytes = size_t(width) * bytesPerPixel;
    for (uint32_t i = 0; i < height / 2; ++i) {
        uint8_t* top = pixels + size_t(i) * rowBytes;
        uint8_t* bottom = pixels + size_t(height - 1 - i) * rowBytes;
        std::swap_ranges(top, top + rowBytes, bottom);
    }
}

} // namespace Fennick::gfx
