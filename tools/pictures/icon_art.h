// The program icon: the show's pyramid, shaded and dithered into its eight-colour palette,
// and the Windows icon file (.ico) that carries it at several sizes.
#pragma once

#include "canvas.h"

#include <cstdint>
#include <vector>

namespace pictures {

// The pyramid drawn at size x size pixels on a transparent ground.
Canvas drawIcon(int size);

// An .ico file holding every picture as a 32-bit BGRA image with its 1-bit mask, in order.
std::vector<std::uint8_t> encodeIco(const std::vector<Canvas>& pictures);

} // namespace pictures
