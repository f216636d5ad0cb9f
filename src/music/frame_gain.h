// The final gain over a block of mixed values, with eight-wide vector instructions where the
// CPU has them; each value is multiplied once, as the frame-by-frame mixing does.
#pragma once

#include <cstdint>

void applyGain(float* values, uint64_t count, float gain);
