// Waits for the device: reads one texel (or the first element) of a resource back through a
// staging copy, which finishes every pass that writes it. Benchmarks end each timed run so.
#pragma once

#include "Fennick/buffer_runtime.h"
#include "Fennick/texture_runtime.h"
#include "platform/d3d11.h"

namespace Fennick::gfx {

class Fence {
public:
    Fence(ID3D11Device* device, ID3D11DeviceContext* context, Resource* output, bool isTexture)
        : context_(context), source_(output->getResource(false)) {
        if (isTexture) {
            auto* texture = static_cast<TextureRuntime*>(output);
            D3D11_TEXTURE2D_DESC desc = {};
            desc.Width = 1;
            desc.Height = 1;
            desc.MipLevels = 1;
            desc.ArraySize = 1;
            desc.Format = DXGI_FORMAT_R32G32B32A32_FLOAT;
            if (texture->desc.format == FormatR16G16B16A16Float)
                desc.Format = DXGI_FORMAT_R16G16B16A16_FLOAT;
            desc.SampleDesc.Count = 1;
            desc.Usage = D3D11_USAGE_STAGING;
            desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
            ID3D11Texture2D* staging = nullptr;
            device->CreateTexture2D(&desc, nullptr, &staging);
            staging_ = staging;
            box_ = {0, 0, 0, 1, 1, 1};
        } else {
            auto* buffer = static_cast<BufferRuntime*>(output);
            D3D11_BUFFER_DESC desc = {};
            desc.ByteWidth = buffer->desc.stride;
            desc.Usage = D3D11_USAGE_STAGING;
            desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
            ID3D11Buffer* staging = nullptr;
            device->CreateBuffer(&desc, nullptr, &staging);
            staging_ = staging;
            box_ = {0, 0, 0, buffer->desc.stride, 1, 1};
        }
    }
    ~Fence() {
        if (staging_)
            staging_->Release();
    }
    void wait() {
        context_->CopySubresourceRegion(staging_, 0, 0, 0, 0, source_, 0, &box_);
        D3D11_MAPPED_SUBRESOURCE mapped;
        if (SUCCEEDED(context_->Map(staging_, 0, D3D11_MAP_READ, 0, &mapped)))
            context_->Unmap(staging_, 0);
    }

private:
    ID3D11DeviceContext* context_;
    ID3D11Resource* source_;
    ID3D11Resource* staging_ = nullptr;
    D3D11_BOX box_{};
};

} // namespace Fennick::gfx
