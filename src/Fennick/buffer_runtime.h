// A structured buffer with shader-resource and unordered-access views (optionally
// double-buffered), or a constant buffer without views.
#pragma once

#include "Fennick/resource.h"

namespace Fennick::gfx {

struct BufferDesc {
    uint8_t constant = 0; // 1: a constant buffer; 0: a structured buffer
    uint32_t stride = 4;  // bytes per element
    uint32_t countX = 1;  // the element count is countX * countY * countZ
    uint32_t countY = 1;
    uint32_t countZ = 1;
    const void* initialData = nullptr; // contents of copy A, stride * element count bytes
};

// Elements of a buffer with this description.
inline uint32_t elementCount(const BufferDesc& desc) {
    return desc.countX * desc.countY * desc.countZ;
}

class BufferRuntime : public Resource {
public:
    BufferDesc desc;
    ID3D11Buffer* bufferA = nullptr;
    ID3D11Buffer* bufferB = nullptr;
    ID3D11UnorderedAccessView* uavA = nullptr;
    ID3D11ShaderResourceView* srvA = nullptr;
    ID3D11UnorderedAccessView* uavB = nullptr;
    ID3D11ShaderResourceView* srvB = nullptr;

    // `description` is a BufferDesc. A constant buffer never gets copy B.
    bool init(const void* description, uint8_t doubleBuffered) override;
    bool init(const BufferDesc& description, uint8_t doubleBuffered) {
        return init(static_cast<const void*>(&description), doubleBuffered);
    }
    bool create() override;
    // Releases the buffers and their views, so a buffer can be created again without leaks.
    bool release() override;
    ID3D11Resource* getResource(bool read) override;
    ID3D11UnorderedAccessView* getUav(bool read) override;
    ID3D11ShaderResourceView* getSrv(bool read) override;
    ID3D11RenderTargetView* getRtv(bool) override { return nullptr; }
    ID3D11DepthStencilView* getDsv() override { return nullptr; }
};

} // namespace Fennick::gfx
