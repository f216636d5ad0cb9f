// A 2D RGBA8 texture filled from an encoded image (PNG and the other stb_image formats), in
// memory or read from a file.
#pragma once

#include "Fennick/texture_runtime.h"

namespace Fennick::gfx {

struct ImageDesc {
    char path[4096] = {};       // zero-terminated; the file read when data is null
    const void* data = nullptr; // an encoded image file in memory, or null
    int32_t dataSize = 0;       // bytes of data
};

class ImageRuntime : public TextureRuntime {
public:
    ImageDesc imageDesc;

    // `description` is an ImageDesc. Decodes the image, creates a single texture of its size
    // and uploads the pixels with the first decoded row last, so that a shader's v grows
    // upwards through the picture. An image that cannot be decoded is reported on stderr and
    // left without device objects (every getter answers null); the result is then false.
    bool init(const void* description, uint8_t doubleBuffered) override;
    bool init(const ImageDesc& description) {
        return init(static_cast<const void*>(&description), 0);
    }
};

} // namespace Fennick::gfx
