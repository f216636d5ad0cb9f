#include "Fennick/image_decode.h"

// The decoder is third-party code; its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace Fennick::gfx {

namespace {

void freePixels(uint8_t* pixels) {
    stbi_image_free(pixels);
}

DecodedImage finish(stbi_uc* pixels, int width, int height) {
    DecodedImage image;
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        image.failure = reason ? reason : "unknown error";
        return image;
    }
    image.width = uint32_t(width);
    image.height = uint32_t(height);
    image.pixels = {pixels, freePixels};
    return image;
}

} // namespace

DecodedImage decodeImageMemory(const void* data, int32_t size) {
    if (!data || size <= 0) {
        DecodedImage image;
        image.failure = "no image data";
        return image;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(static_cast<const stbi_uc*>(data), size, &width,
                                            &height, &channels, 4);
    return finish(pixels, width, height);
}

DecodedImage decodeImageFile(const char* path) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path, &width, &height, &channels, 4);
    return finish(pixels, width, height);
}

} // namespace Fennick::gfx
