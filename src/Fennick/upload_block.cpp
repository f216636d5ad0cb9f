#include "Fennick/upload_block.h"

#include <cstring>

namespace Fennick::gfx {

std::vector<uint8_t> buildUploadBlock(const void* builtIns, uint32_t builtInBytes,
                                      const ParamBlock& packedParams) {
    std::vector<uint8_t> block(uploadBlockSize(builtInBytes, packedParams.size), 0);
    std::memcpy(block.data(), builtIns, builtInBytes);
    if (packedParams.size > 0)
        std::memcpy(block.data() + builtInBytes, packedParams.data.data(), packedParams.size);
    return block;
}

} // namespace Fennick::gfx
