// A 1D, 2D or 3D texture with its views, optionally double-buffered.
#pragma once

#include "Fennick/resource.h"
#include "Fennick/texture_desc.h"

namespace Fennick::gfx {

class TextureRuntime : public Resource {
public:
    TextureDesc desc;
    // ID3D11Texture1D, 2D or 3D by desc.dimension. A depth texture has only the resources and
    // dsv; a colour texture has no dsv, and only a 2D one has render-target views.
    ID3D11Resource* resourceA = nullptr;
    ID3D11Resource* resourceB = nullptr;
    ID3D11UnorderedAccessView* uavA = nullptr;
    ID3D11ShaderResourceView* srvA = nullptr;
    ID3D11RenderTargetView* rtvA = nullptr;
    ID3D11DepthStencilView* dsv = nullptr;
    ID3D11UnorderedAccessView* uavB = nullptr;
    ID3D11ShaderResourceView* srvB = nullptr;
    ID3D11RenderTargetView* rtvB = nullptr;

    // `description` is a TextureDesc.
    bool init(const void* description, uint8_t doubleBuffered) override;
    bool init(const TextureDesc& description, uint8_t doubleBuffered) {
        return init(static_cast<const void*>(&description), doubleBuffered);
    }
    bool create() override;
    bool release() override;
    ID3D11Resource* getResource(bool read) override;
    ID3D11UnorderedAccessView* getUav(bool read) override;
    ID3D11ShaderResourceView* getSrv(bool read) override;
    ID3D11RenderTargetView* getRtv(bool read) override;
    ID3D11DepthStencilView* getDsv() override;

    // Writes width x height pixels of bytesPerPixel bytes into the top-left of copy A, level 0.
    void upload(const void* pixels, uint32_t width, uint32_t height,
                uint32_t bytesPerPixel) override;
    // Rebuilds the mip chain of both copies when the texture has one.
    void generateMips() override;
};

} // namespace Fennick::gfx
