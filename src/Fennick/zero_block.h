// Zeros to create a resource from. Direct3D leaves a resource created without data undefined
// (a driver may hand out recycled memory), and a pass may read a resource before any pass has
// written it: copy B of a double-buffered resource in the first frame, or a target sampled
// before its first clear. calloc gives the zeros without writing them.
#pragma once

#include <cstddef>
#include <cstdlib>

namespace Fennick::gfx {

struct ZeroBlock {
    explicit ZeroBlock(size_t bytes) : bytes(std::calloc(bytes ? bytes : 1, 1)) {}
    ~ZeroBlock() { std::free(bytes); }
    ZeroBlock(const ZeroBlock&) = delete;
    ZeroBlock& operator=(const ZeroBlock&) = delete;
    void* bytes;
};

} // namespace Fennick::gfx
