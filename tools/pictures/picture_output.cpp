#include "picture_output.h"

#include "palette_quantizer.h"
#include "png_writer.h"

namespace pictures {

bool writeIndexed(const std::string& path, const Canvas& canvas, int maxColours,
                  std::string& error) {
    IndexedPicture picture = quantize(canvas, maxColours);
    return writeIndexedPng(path, picture.width, picture.height, picture.indices, picture.palette,
                           error);
}

bool writeMaskGrey(const std::string& path, const Plane& mask, std::string& error) {
    std::vector<std::uint8_t> levels;
    for (float v : mask.cells()) {
        levels.push_back(v >= 0.5f ? 1 : 0);
    }
    return writeGreyPng(path, mask.width(), mask.height(), levels, 1, 0, error);
}

bool writeMaskIndexed(const std::string& path, const Plane& mask, std::string& error) {
    std::vector<std::uint8_t> indices;
    for (float v : mask.cells()) {
        indices.push_back(v >= 0.5f ? 1 : 0);
    }
    return writeIndexedPng(path, mask.width(), mask.height(), indices,
                           {{0, 0, 0, 0}, {255, 255, 255, 255}}, error);
}

} // namespace pictures
