// A band along the top edge of the picture that names the shader programs that do not
// compile, drawn over the finished frame before it is presented (quavel1 --edit):
//
//     BrokenBand band(app);                          // after the graph is built
//     after each frame is drawn: if (!broken.empty()) band.draw("shader broken: ps_composite");
//
// The letters are the scroller's own (its two atlases and glyph table), shrunk to the band.
// The window's title is not enough: the show's window has no caption, so the title shows only
// in the taskbar.
#pragma once

#include <array>
#include <string>

#include "platform/d3d11.h"

struct DemoApp;

// Band pixels of the show's full size; a smaller back buffer gets a band as much smaller.
constexpr float kBrokenBandHeight = 26.0f;
constexpr int kBrokenBandGlyphs = 128; // the longest text shown; the rest is cut off

// The text laid out in band pixels (the pixel shader's constant buffer).
struct BrokenBandLayout {
    std::array<float, 4> layout{}; // glyphs, atlas pixels per band pixel, letters' top, 0
    std::array<std::array<float, 4>, kBrokenBandGlyphs> glyphs{}; // left, atlas x, row, width
};
// `bandHeight` in pixels; characters the font lacks are drawn as '?'.
BrokenBandLayout layBrokenBandText(const std::string& text, float bandHeight, float bandWidth);

class BrokenBand {
public:
    explicit BrokenBand(DemoApp& app);
    ~BrokenBand();
    BrokenBand(const BrokenBand&) = delete;
    BrokenBand& operator=(const BrokenBand&) = delete;

    bool ok() const { return ok_; }
    void draw(const std::string& text);

private:
    DemoApp& app_;
    bool ok_ = false;
    float width_ = 0.0f, height_ = 0.0f;
    ID3D11VertexShader* vertex_ = nullptr;
    ID3D11PixelShader* pixel_ = nullptr;
    ID3D11Buffer* text_ = nullptr;
    std::string laidOut_; // the text the buffer holds
    bool filled_ = false;
};
