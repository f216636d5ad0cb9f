// The moments of the show the music must hit, in show rows (17 a second; one show row is two
// module rows).
#pragma once

#include <vector>

namespace composer {

constexpr int kModuleRowsPerShowRow = 2;

// Rows at which the heart overlay flashes (from the show's tracks); each needs a drum onset.
const std::vector<int>& heartFlashRows();

// Rows of the logo strobes and of the explosion build-up, each also a drum onset.
const std::vector<int>& strobeRows();

} // namespace composer
