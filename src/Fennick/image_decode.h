// Decoding of encoded images into 8-bit RGBA pixels (stb_image).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Fennick::gfx {

struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    // width * height * 4 bytes, rows top first; null when decoding failed.
    std::unique_ptr<uint8_t, void (*)(uint8_t*)> pixels{nullptr, [](uint8_t*) {}};
    std::string failure; // why decoding failed, empty on success
};

DecodedImage decodeImageMemory(const void* data, int32_t size);
DecodedImage decodeImageFile(const char* path);

} // namespace Fennick::gfx
