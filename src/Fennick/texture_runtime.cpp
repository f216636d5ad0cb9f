// TextureRuntime: its textures and views on the device, made from zeros (or, for an image,
// uploaded right after), its copies chosen by the frame, its pixels and mip chain.
#include "Fennick/texture_runtime.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "Fennick/copy_selection.h"
#include "Fennick/creation_check.h"
#include "Fennick/device_access.h"
#include "Fennick/image_runtime.h"
#include "Fennick/pipeline_state.h"
#include "Fennick/texture_layout.h"
#include "Fennick/zero_block.h"

namespace Fennick::gfx {

namespace {

UINT colourBindFlags(bool withRenderTarget) {
    UINT flags = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS;
    if (withRenderTarget)
        flags |= D3D11_BIND_RENDER_TARGET;
    return flags;
}

// Zero initial data for every mip level of a colour texture, all levels reading the one block
// (level 0 is the largest). Empty for depth textures, which no pass can read (they get no
// shader-resource view), and when `zeroed` is false.
struct TextureZeros {
    std::unique_ptr<ZeroBlock> block;
    std::vector<D3D11_SUBRESOURCE_DATA> levels;
    const D3D11_SUBRESOURCE_DATA* data() const { return levels.empty() ? nullptr : levels.data(); }
};

TextureZeros textureZeros(const TextureDesc& desc, UINT mipLevels, bool zeroed) {
    TextureZeros zeros;
    const uint32_t bytes = texelBytes(desc.format);
    if (!zeroed || bytes == 0)
        return zeros;
    const bool hasHeight = desc.dimension != Tex1D, hasDepth = desc.dimension == Tex3D;
    const size_t width = deviceExtent(desc.width),
                 height = hasHeight ? deviceExtent(desc.height) : 1,
                 depth = hasDepth ? deviceExtent(desc.depth) : 1;
    zeros.block = std::make_unique<ZeroBlock>(width * height * depth * bytes);
    if (!zeros.block->bytes)
        return zeros;
    for (UINT level = 0; level < mipLevels; ++level) {
        const size_t w = std::max<size_t>(1, width >> level),
                     h = std::max<size_t>(1, height >> level);
        zeros.levels.push_back({zeros.block->bytes, UINT(w * bytes), UINT(w * h * bytes)});
    }
    return zeros;
}

ID3D11Resource* createTextureResource(const TextureDesc& desc, UINT mipLevels, bool zeroed,
                                      const char* copy) {
    const DXGI_FORMAT format = dxgiFormat(desc.format);
    const UINT miscFlags = mipLevels > 1 ? D3D11_RESOURCE_MISC_GENERATE_MIPS : 0;
    const TextureZeros zeros = textureZeros(desc, mipLevels, zeroed);
    HRESULT hr = S_OK;
    switch (desc.dimension) {
    case Tex1D: {
        D3D11_TEXTURE1D_DESC d = {};
        d.Width = deviceExtent(desc.width);
        d.MipLevels = mipLevels;
        d.ArraySize = 1;
        d.Format = format;
        d.Usage = D3D11_USAGE_DEFAULT;
        d.BindFlags = colourBindFlags(mipLevels > 1);
        d.MiscFlags = miscFlags;
        ID3D11Texture1D* texture = nullptr;
        hr = device()->CreateTexture1D(&d, zeros.data(), &texture);
        noteCreation("CreateTexture1D", hr, texture, copy);
        return texture;
    }
    case Tex2D: {
        D3D11_TEXTURE2D_DESC d = {};
        d.Width = deviceExtent(desc.width);
        d.Height = deviceExtent(desc.height);
        d.MipLevels = mipLevels;
        d.ArraySize = 1;
        d.Format = format;
        d.SampleDesc.Count = 1;
        d.SampleDesc.Quality = 0;
        d.Usage = D3D11_USAGE_DEFAULT;
        d.BindFlags =
            isDepthFormat(desc.format) ? UINT(D3D11_BIND_DEPTH_STENCIL) : colourBindFlags(true);
        d.MiscFlags = miscFlags;
        ID3D11Texture2D* texture = nullptr;
        hr = device()->CreateTexture2D(&d, zeros.data(), &texture);
        noteCreation("CreateTexture2D", hr, texture, copy);
        return texture;
    }
    case Tex3D: {
        D3D11_TEXTURE3D_DESC d = {};
        d.Width = deviceExtent(desc.width);
        d.Height = deviceExtent(desc.height);
        d.Depth = deviceExtent(desc.depth);
        d.MipLevels = mipLevels;
        d.Format = format;
        d.Usage = D3D11_USAGE_DEFAULT;
        d.BindFlags = colourBindFlags(mipLevels > 1);
        d.MiscFlags = miscFlags;
        ID3D11Texture3D* texture = nullptr;
        hr = device()->CreateTexture3D(&d, zeros.data(), &texture);
        noteCreation("CreateTexture3D", hr, texture, copy);
        return texture;
    }
    }
    return nullptr;
}

struct ColourViews {
    ID3D11UnorderedAccessView* uav = nullptr;
    ID3D11ShaderResourceView* srv = nullptr;
    ID3D11RenderTargetView* rtv = nullptr;
};

ColourViews createColourViews(ID3D11Resource* resource, const TextureDesc& desc, UINT mipLevels,
                              const char* copy) {
    ColourViews views;
    if (!resource)
        return views;
    const DXGI_FORMAT format = dxgiFormat(desc.format);

    D3D11_UNORDERED_ACCESS_VIEW_DESC uav = {};
    uav.Format = format;
    D3D11_SHADER_RESOURCE_VIEW_DESC srv = {};
    srv.Format = format;
    switch (desc.dimension) {
    case Tex1D:
        uav.ViewDimension = D3D11_UAV_DIMENSION_TEXTURE1D;
        uav.Texture1D.MipSlice = 0;
        srv.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE1D;
        srv.Texture1D.MostDetailedMip = 0;
        srv.Texture1D.MipLevels = mipLevels;
        break;
    case Tex2D:
        uav.ViewDimension = D3D11_UAV_DIMENSION_TEXTURE2D;
        uav.Texture2D.MipSlice = 0;
        srv.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
        srv.Texture2D.MostDetailedMip = 0;
        srv.Texture2D.MipLevels = mipLevels;
        break;
    case Tex3D:
        uav.ViewDimension = D3D11_UAV_DIMENSION_TEXTURE3D;
        uav.Texture3D.MipSlice = 0;
        uav.Texture3D.FirstWSlice = 0;
        // The device holds at least one slice even when the description says 0.
        uav.Texture3D.WSize = deviceExtent(desc.depth);
        srv.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE3D;
        srv.Texture3D.MostDetailedMip = 0;
        srv.Texture3D.MipLevels = mipLevels;
        break;
    }
    HRESULT hr = device()->CreateUnorderedAccessView(resource, &uav, &views.uav);
    noteCreation("CreateUnorderedAccessView", hr, views.uav, copy);
    hr = device()->CreateShaderResourceView(resource, &srv, &views.srv);
    noteCreation("CreateShaderResourceView", hr, views.srv, copy);
    if (desc.dimension == Tex2D) {
        D3D11_RENDER_TARGET_VIEW_DESC rtv = {};
        rtv.Format = format;
        rtv.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
        rtv.Texture2D.MipSlice = 0;
        hr = device()->CreateRenderTargetView(resource, &rtv, &views.rtv);
        noteCreation("CreateRenderTargetView", hr, views.rtv, copy);
    }
    return views;
}

} // namespace

bool TextureRuntime::create() {
    const UINT mipLevels = mipLevelCount(desc);
    // An image is uploaded whole right after this; every other texture starts as zeros.
    const bool zeroed = dynamic_cast<ImageRuntime*>(this) == nullptr;
    resourceA = createTextureResource(desc, mipLevels, zeroed, "copy A");
    if (doubleBuffered)
        resourceB = createTextureResource(desc, mipLevels, zeroed, "copy B");

    if (isDepthFormat(desc.format)) {
        if (resourceA) {
            D3D11_DEPTH_STENCIL_VIEW_DESC d = {};
            d.Format = dxgiFormat(desc.format);
            d.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
            d.Flags = 0;
            d.Texture2D.MipSlice = 0;
            const HRESULT hr = device()->CreateDepthStencilView(resourceA, &d, &dsv);
            noteCreation("CreateDepthStencilView", hr, dsv);
        }
        return true;
    }

    const ColourViews a = createColourViews(resourceA, desc, mipLevels, "copy A");
    uavA = a.uav;
    srvA = a.srv;
    rtvA = a.rtv;
    if (doubleBuffered) {
        const ColourViews b = createColourViews(resourceB, desc, mipLevels, "copy B");
        uavB = b.uav;
        srvB = b.srv;
        rtvB = b.rtv;
    }
    return true;
}

bool TextureRuntime::release() {
    releaseAndClear(resourceA);
    releaseAndClear(uavA);
    releaseAndClear(srvA);
    releaseAndClear(rtvA);
    releaseAndClear(dsv);
    releaseAndClear(resourceB);
    releaseAndClear(uavB);
    releaseAndClear(srvB);
    releaseAndClear(rtvB);
    return true;
}

void TextureRuntime::upload(const void* pixels, uint32_t width, uint32_t height,
                            uint32_t bytesPerPixel) {
    if (!resourceA || !pixels)
        return;
    D3D11_BOX box = {};
    box.left = 0;
    box.top = 0;
    box.front = 0;
    box.right = width;
    box.bottom = height;
    box.back = 1;
    immediateContext()->UpdateSubresource(resourceA, 0, &box, pixels, bytesPerPixel * width, 0);
}

void TextureRuntime::generateMips() {
    // A texture too small for a second level has no chain to rebuild (and no generate-mips
    // flag, without which the device refuses the call).
    if (desc.mipmaps != 1 || mipLevelCount(desc) < 2)
        return;
    if (srvA)
        immediateContext()->GenerateMips(srvA);
    if (doubleBuffered && srvB)
        immediateContext()->GenerateMips(srvB);
}

bool TextureRuntime::init(const void* description, uint8_t doubleBuffer) {
    desc = *static_cast<const TextureDesc*>(description);
    doubleBuffered = doubleBuffer;
    return create();
}

ID3D11Resource* TextureRuntime::getResource(bool read) {
    return selectCopy(doubleBuffered, swapped, read, resourceA, resourceB);
}

ID3D11UnorderedAccessView* TextureRuntime::getUav(bool read) {
    return selectCopy(doubleBuffered, swapped, read, uavA, uavB);
}

ID3D11ShaderResourceView* TextureRuntime::getSrv(bool read) {
    return selectCopy(doubleBuffered, swapped, read, srvA, srvB);
}

ID3D11RenderTargetView* TextureRuntime::getRtv(bool read) {
    return selectCopy(doubleBuffered, swapped, read, rtvA, rtvB);
}

ID3D11DepthStencilView* TextureRuntime::getDsv() {
    return dsv;
}

} // namespace Fennick::gfx
