// Composes the show's soundtrack: synthesises the instruments, writes every part of the
// arrangement and packs the result as an XM module.
#pragma once

#include "xm_module.h"

#include <cstdint>
#include <vector>

namespace composer {

XmModule composeSoundtrack();

// The module file's bytes; identical on every run.
std::vector<uint8_t> composeSoundtrackBytes();

} // namespace composer
