// Pictures decoded the way the engine decodes them: stb_image, 8-bit RGBA, rows top first
// (before the engine's vertical flip).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(int x, int y) const {
        return &rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) *
                     4];
    }
    // Mean of the three colour channels, 0..1: what the glow and glyph shaders read.
    float mean(int x, int y) const {
        const std::uint8_t* p = at(x, y);
        return (p[0] + p[1] + p[2]) / (3.0f * 255.0f);
    }
    float alpha(int x, int y) const { return at(x, y)[3] / 255.0f; }
};

// Decodes a PNG file; an empty image (width 0) when it cannot.
DecodedImage decodePng(const std::string& path);

std::vector<std::uint8_t> readBytes(const std::string& path);

// The committed asset folder.
std::string assetPath(const std::string& name);
