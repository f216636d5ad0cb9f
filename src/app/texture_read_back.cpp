#include "app/texture_read_back.h"

std::uint32_t bytesPerTexel(DXGI_FORMAT format) {
    switch (format) {
    case DXGI_FORMAT_R32G32B32A32_FLOAT:
    case DXGI_FORMAT_R32G32B32A32_UINT:
        return 16;
    case DXGI_FORMAT_R16G16B16A16_FLOAT:
    case DXGI_FORMAT_R32G32_FLOAT:
        return 8;
    case DXGI_FORMAT_R16_FLOAT:
        return 2;
    case DXGI_FORMAT_R8_UNORM:
        return 1;
    default:
        return 4;
    }
}

void packMappedRows(const D3D11_MAPPED_SUBRESOURCE& mapped, std::size_t rowBytes, UINT rows,
                    UINT slices, std::uint8_t* out) {
    for (UINT z = 0; z < slices; ++z)
        for (UINT y = 0; y < rows; ++y)
            std::memcpy(out + (std::size_t(z) * rows + y) * rowBytes,
                        static_cast<const std::uint8_t*>(mapped.pData) +
                            std::size_t(z) * mapped.DepthPitch + std::size_t(y) * mapped.RowPitch,
                        rowBytes);
}

TexturePixels readTexture2D(ID3D11Device* device, ID3D11DeviceContext* context,
                            ID3D11Texture2D* texture, UINT level) {
    TexturePixels pixels;
    if (!texture)
        return pixels;
    D3D11_TEXTURE2D_DESC desc = {};
    texture->GetDesc(&desc);
    pixels.width = desc.Width >> level ? desc.Width >> level : 1;
    pixels.height = desc.Height >> level ? desc.Height >> level : 1;
    pixels.bytesPerTexel = bytesPerTexel(desc.Format);

    // A staging texture of the level's size takes just that level.
    D3D11_TEXTURE2D_DESC staging = {};
    staging.Width = pixels.width;
    staging.Height = pixels.height;
    staging.MipLevels = 1;
    staging.ArraySize = 1;
    staging.Format = desc.Format;
    staging.SampleDesc.Count = 1;
    staging.Usage = D3D11_USAGE_STAGING;
    staging.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ID3D11Texture2D* copy = nullptr;
    if (FAILED(device->CreateTexture2D(&staging, nullptr, &copy)) || !copy)
        return pixels;
    context->CopySubresourceRegion(copy, 0, 0, 0, 0, texture, level, nullptr);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    if (SUCCEEDED(context->Map(copy, 0, D3D11_MAP_READ, 0, &mapped))) {
        const std::size_t rowBytes = std::size_t(pixels.width) * pixels.bytesPerTexel;
        pixels.bytes.resize(rowBytes * pixels.height);
        packMappedRows(mapped, rowBytes, pixels.height, 1, pixels.bytes.data());
        context->Unmap(copy, 0);
    }
    copy->Release();
    return pixels;
}
