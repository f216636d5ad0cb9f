#include "app/back_buffer_reader.h"

#include "app/texture_read_back.h"

BackBufferReader::BackBufferReader(ID3D11Device* device, ID3D11DeviceContext* context,
                                   IDXGISwapChain* chain)
    : context_(context) {
    if (!device || !context || !chain)
        return;
    chain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer_));
    if (!backBuffer_)
        return;
    D3D11_TEXTURE2D_DESC desc;
    backBuffer_->GetDesc(&desc);
    width_ = desc.Width;
    height_ = desc.Height;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    if (FAILED(device->CreateTexture2D(&desc, nullptr, &staging_)))
        staging_ = nullptr;
}

BackBufferReader::~BackBufferReader() {
    if (staging_)
        staging_->Release();
    if (backBuffer_)
        backBuffer_->Release();
}

bool BackBufferReader::read(std::vector<std::uint8_t>& rgba) {
    if (!staging_)
        return false;
    context_->CopyResource(staging_, backBuffer_);
    D3D11_MAPPED_SUBRESOURCE mapped;
    if (FAILED(context_->Map(staging_, 0, D3D11_MAP_READ, 0, &mapped)))
        return false;
    const std::size_t rowBytes = std::size_t(width_) * 4;
    rgba.resize(rowBytes * height_);
    packMappedRows(mapped, rowBytes, height_, 1, rgba.data());
    context_->Unmap(staging_, 0);
    return true;
}
