#include "app/check/check_frames.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

#include "files/output_file.h"

namespace {

void appendBytes(void* bytes, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(bytes);
    out->insert(out->end(), static_cast<unsigned char*>(data),
                static_cast<unsigned char*>(data) + size);
}

} // namespace

bool writeCheckFrame(const std::string& path, const std::vector<std::uint8_t>& rgba,
                     std::uint32_t width, std::uint32_t height) {
    std::vector<unsigned char> png;
    if (!stbi_write_png_to_func(appendBytes, &png, int(width), int(height), 4, rgba.data(),
                                int(width) * 4))
        return false;
    std::string error;
    return files::writeWholeFile(path, png.data(), png.size(), {}, &error);
}
