// A small deterministic random generator (xorshift32), so that every run of the composer
// produces the same samples and the same humanised details on every platform.
#pragma once

#include <cstdint>

namespace composer {

class Prng {
public:
    explicit Prng(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}

    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [-1, 1).
    double bipolar() { return double(next() >> 8) / double(1u << 23) - 1.0; }
    // Uniform integer in [0, n).
    int below(int n) { return int(next() % uint32_t(n)); }

private:
    uint32_t state_;
};

} // namespace composer
