#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "decoded_image.h"

#include <fstream>
#include <iterator>

DecodedImage decodePng(const std::string& path) {
    DecodedImage image;
    std::vector<std::uint8_t> bytes = readBytes(path);
    int channels = 0;
    unsigned char* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                                  &image.width, &image.height, &channels, 4);
    if (!pixels) {
        image.width = image.height = 0;
        return image;
    }
    image.rgba.assign(pixels, pixels + static_cast<std::size_t>(image.width) *
                                           static_cast<std::size_t>(image.height) * 4);
    stbi_image_free(pixels);
    return image;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

std::string assetPath(const std::string& name) {
    return std::string(QUAVEL_ASSET_DIR) + "/" + name;
}
