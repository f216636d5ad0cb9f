#include "app/broken_band.h"

#include <algorithm>

#include "Fennick/texture_runtime.h"
#include "app/demo_app.h"
#include "broken_band_shaders.h"
#include "demo/glyph_table.h"
#include "platform/shader_code.h"

namespace {

// Within a 1106-pixel atlas row the letters stand between about 540 and 920, descenders to
// 1010: the band shows the row from 470 down, 24 atlas pixels to a band pixel at full size.
constexpr float kLettersTop = 470.0f;
constexpr float kAtlasPerPixel = 24.0f;
constexpr float kTextLeft = 8.0f;

// The scroller's codes are printable ASCII in order, with code 19 (the combining diaeresis)
// slipped in before '3'.
int glyphCode(char c) {
    if (c < ' ' || c > '~')
        c = '?';
    const int code = c - ' ';
    return code >= 19 ? code + 1 : code;
}

} // namespace

BrokenBandLayout layBrokenBandText(const std::string& text, float bandHeight, float bandWidth) {
    BrokenBandLayout laid;
    const float scale = kAtlasPerPixel * kBrokenBandHeight / bandHeight;
    float left = kTextLeft * bandHeight / kBrokenBandHeight;
    int count = 0;
    for (char c : text) {
        const GlyphEntry& glyph = glyphTable[glyphCode(c)];
        const float width = float(glyph.width) / scale;
        if (count == kBrokenBandGlyphs || left + width > bandWidth)
            break;
        laid.glyphs[count++] = {left, float(glyph.x), float(glyph.row), float(glyph.width)};
        left += width;
    }
    laid.layout = {float(count), scale, kLettersTop, 0.0f};
    return laid;
}

BrokenBand::BrokenBand(DemoApp& app) : app_(app) {
    if (!app.device || !app.swapChain || !app.backBufferView)
        return;
    ID3D11Texture2D* backBuffer = nullptr;
    app.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer));
    if (!backBuffer)
        return;
    D3D11_TEXTURE2D_DESC desc;
    backBuffer->GetDesc(&desc);
    backBuffer->Release();
    width_ = float(desc.Width);
    height_ = std::max(8.0f, kBrokenBandHeight * float(desc.Height) / float(kShowHeight));

    const ShaderCode vertex = shaderBytecode(brokenBandVs, brokenBandVs_size);
    const ShaderCode pixel = shaderBytecode(brokenBandPs, brokenBandPs_size);
    D3D11_BUFFER_DESC buffer = {};
    buffer.ByteWidth = sizeof(BrokenBandLayout);
    buffer.Usage = D3D11_USAGE_DEFAULT;
    buffer.BindFlags = D3D11_BIND_CONSTANT_BUFFER;
    ok_ = vertex.code && pixel.code &&
          SUCCEEDED(app.device->CreateVertexShader(vertex.code, vertex.size, nullptr, &vertex_)) &&
          SUCCEEDED(app.device->CreatePixelShader(pixel.code, pixel.size, nullptr, &pixel_)) &&
          SUCCEEDED(app.device->CreateBuffer(&buffer, nullptr, &text_));
}

BrokenBand::~BrokenBand() {
    if (vertex_)
        vertex_->Release();
    if (pixel_)
        pixel_->Release();
    if (text_)
        text_->Release();
}

void BrokenBand::draw(const std::string& text) {
    if (!ok_)
        return;
    ID3D11DeviceContext* context = app_.immediateContext;
    if (!filled_ || text != laidOut_) {
        const BrokenBandLayout laid = layBrokenBandText(text, height_, width_);
        context->UpdateSubresource(text_, 0, nullptr, &laid, 0, 0);
        laidOut_ = text;
        filled_ = true;
    }
    auto* atlas = static_cast<Fennick::gfx::TextureRuntime*>(
        app_.handles.resources[DemoResource::letterAtlas]);
    auto* atlas2 = static_cast<Fennick::gfx::TextureRuntime*>(
        app_.handles.resources[DemoResource::letterAtlas2]);
    ID3D11ShaderResourceView* letters[2] = {atlas ? atlas->srvA : nullptr,
                                            atlas2 ? atlas2->srvA : nullptr};
    const D3D11_VIEWPORT band = {0.0f, 0.0f, width_, height_, 0.0f, 1.0f};
    // The engine sets every state its passes use before each pass; this draw sets its own.
    context->OMSetRenderTargets(1, &app_.backBufferView, nullptr);
    context->OMSetBlendState(nullptr, nullptr, 0xffffffffu);
    context->RSSetState(nullptr);
    context->RSSetViewports(1, &band);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    context->VSSetShader(vertex_, nullptr, 0);
    context->PSSetShader(pixel_, nullptr, 0);
    context->PSSetShaderResources(0, 2, letters);
    context->PSSetConstantBuffers(0, 1, &text_);
    context->Draw(3, 0);
    ID3D11ShaderResourceView* none[2] = {nullptr, nullptr};
    context->PSSetShaderResources(0, 2, none);
}
