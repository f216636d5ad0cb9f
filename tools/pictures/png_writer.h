// Writes the compact PNG flavours the show embeds: low-depth grey and indexed colour.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pictures {

struct PaletteEntry {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const PaletteEntry& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a;
    }
};

// Grey samples 0..(2^bitDepth - 1), one per byte, rows top first. transparentLevel marks one
// level as fully transparent through a tRNS chunk.
bool writeGreyPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& levels, int bitDepth,
                  std::optional<int> transparentLevel, std::string& error);

// Palette indices, one per byte; the bit depth is the smallest that holds the palette. A tRNS
// chunk is written only when some entry is not opaque.
bool writeIndexedPng(const std::string& path, int width, int height,
                     const std::vector<std::uint8_t>& indices,
                     const std::vector<PaletteEntry>& palette, std::string& error);

// 8-bit RGB samples, three bytes per pixel, for previews.
bool writeRgbPng(const std::string& path, int width, int height,
                 const std::vector<std::uint8_t>& rgb, std::string& error);

// The refusal of an output name whose extension promises another format ("x.jpg"), or "".
// Names without an extension, standard output and existing devices or FIFOs pass.
std::string pngOutputNameError(const std::string& path);

} // namespace pictures
