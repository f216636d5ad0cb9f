#include "Fennick/image_runtime.h"

#include <cstdio>

#include "Fennick/image_decode.h"
#include "Fennick/image_rows.h"

namespace Fennick::gfx {

namespace {

DecodedImage decode(const ImageDesc& source) {
    if (source.data)
        return decodeImageMemory(source.data, source.dataSize);
    return decodeImageFile(source.path);
}

void reportFailure(const ImageDesc& source, const std::string& failure) {
    if (source.data)
        std::fprintf(stderr, "ImageRuntime: cannot decode the image of %d bytes at %p: %s\n",
                     int(source.dataSize), source.data, failure.c_str());
    else
        std::fprintf(stderr, "ImageRuntime: cannot decode the image file \"%s\": %s\n", source.path,
                     failure.c_str());
}

} // namespace

bool ImageRuntime::init(const void* description, uint8_t) {
    imageDesc = *static_cast<const ImageDesc*>(description);
    imageDesc.path[sizeof imageDesc.path - 1] = '\0';
    doubleBuffered = 0;

    DecodedImage image = decode(imageDesc);
    if (!image.pixels) {
        reportFailure(imageDesc, image.failure);
        return false;
    }

    desc = TextureDesc{};
    desc.dimension = Tex2D;
    desc.width = image.width;
    desc.height = image.height;
    desc.depth = 0;
    desc.mipmaps = 0;
    desc.format = FormatR8G8B8A8Unorm;
    create();

    flipRowsVertically(image.pixels.get(), image.width, image.height, 4);
    upload(image.pixels.get(), image.width, image.height, 4);
    return true;
}

} // namespace Fennick::gfx
