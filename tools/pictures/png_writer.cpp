#include "png_writer.h"

#include "files/output_file.h"

#include <png.h>
#include <sys/stat.h>

#include <cctype>

namespace pictures {
namespace {

// Packs samples of less than 8 bits most significant first, as PNG stores them.
std::vector<std::uint8_t> packRow(const std::uint8_t* samples, int width, int bitDepth) {
    const int perByte = 8 / bitDepth;
    std::vector<std::uint8_t> row(static_cast<std::size_t>((width + perByte - 1) / perByte), 0);
    for (int x = 0; x < width; ++x) {
        int shift = 8 - bitDepth * (x % perByte + 1);
        row[static_cast<std::size_t>(x / perByte)] |=
            static_cast<std::uint8_t>(samples[x] << shift);
    }
    return row;
}

struct PngHeader {
    int width, height, bitDepth, colorType;
};

bool writePng(const std::string& path, const PngHeader& header,
              const std::vector<std::uint8_t>& samples, const std::vector<PaletteEntry>* palette,
              std::optional<int> greyKey, std::string& error) {
    files::OutputFile file;
    if (!file.open(path, {}, &error)) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        error = "libpng could not start";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "libpng failed while writing " + path;
        return false;
    }
    png_init_io(png, file.stream());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(header.width),
                 static_cast<png_uint_32>(header.height), header.bitDepth, header.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_byte> alphas;
    if (palette) {
        std::vector<png_color> colours;
        for (const PaletteEntry& e : *palette) {
            colours.push_back({e.r, e.g, e.b});
            alphas.push_back(e.a);
        }
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
        while (!alphas.empty() && alphas.back() == 255) {
            alphas.pop_back();
        }
        if (!alphas.empty()) {
            png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
        }
    } else if (greyKey) {
        png_color_16 key{};
        key.gray = static_cast<png_uint_16>(*greyKey);
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int channels = header.colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    for (int y = 0; y < header.height; ++y) {
        const std::size_t rowSamples = static_cast<std::size_t>(header.width) * channels;
        const std::uint8_t* src = samples.data() + static_cast<std::size_t>(y) * rowSamples;
        std::vector<std::uint8_t> row = header.bitDepth == 8
                                            ? std::vector<std::uint8_t>(src, src + rowSamples)
                                            : packRow(src, header.width, header.bitDepth);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file.commit(&error);
}

bool checkSize(int width, int height, std::size_t count, std::string& error) {
    if (width <= 0 || height <= 0 ||
        count != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        error = "sample count does not match the picture size";
        return false;
    }
    return true;
}

} // namespace

bool writeGreyPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& levels, int bitDepth,
                  std::optional<int> transparentLevel, std::string& error) {
    if (!checkSize(width, height, levels.size(), error)) {
        return false;
    }
    if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8) {
        error = "grey bit depth must be 1, 2, 4 or 8";
        return false;
    }
    for (std::uint8_t v : levels) {
        if (v >> bitDepth) {
            error = "grey level does not fit the bit depth";
            return false;
        }
    }
    return writePng(path, {width, height, bitDepth, PNG_COLOR_TYPE_GRAY}, levels, nullptr,
                    transparentLevel, error);
}

bool writeIndexedPng(const std::string& path, int width, int height,
                     const std::vector<std::uint8_t>& indices,
                     const std::vector<PaletteEntry>& palette, std::string& error) {
    if (!checkSize(width, height, indices.size(), error)) {
        return false;
    }
    if (palette.empty() || palette.size() > 256) {
        error = "a palette holds 1 to 256 colours";
        return false;
    }
    int bitDepth = 1;
    while ((1u << bitDepth) < palette.size()) {
        bitDepth *= 2;
    }
    for (std::uint8_t i : indices) {
        if (i >= palette.size()) {
            error = "palette index out of range";
            return false;
        }
    }
    return writePng(path, {width, height, bitDepth, PNG_COLOR_TYPE_PALETTE}, indices, &palette,
                    std::nullopt, error);
}

bool writeRgbPng(const std::string& path, int width, int height,
                 const std::vector<std::uint8_t>& rgb, std::string& error) {
    if (!checkSize(width, height, rgb.size() / 3, error) || rgb.size() % 3 != 0) {
        return false;
    }
    return writePng(path, {width, height, 8, PNG_COLOR_TYPE_RGB}, rgb, nullptr, std::nullopt,
                    error);
}

std::string pngOutputNameError(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return "";
    }
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    struct stat info {};
    if (extension == "png" || (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))) {
        return "";
    }
    return "'" + path + "': only PNG is written; give a name ending in .png";
}

} // namespace pictures
