// The common interface of every GPU resource of the graph, so that passes bind textures and
// buffers alike without knowing their kind.
#pragma once

#include <cstdint>

#include "platform/d3d11.h"

namespace Fennick::gfx {

// The getters take `read`: true for the copy that passes read in the current frame, false
// for the copy they write (see copy_selection.h). The virtual operations keep this order.
class Resource {
public:
    uint8_t doubleBuffered = 0; // the object holds copies A and B
    uint8_t swapped = 0;        // flipped at the end of every frame when double-buffered

    // Copies the kind's own description record (passed by address) and creates the device
    // objects. Images and data buffers are always single whatever `doubleBuffered` says.
    virtual bool init(const void* description, uint8_t doubleBuffered) = 0;
    virtual bool create() = 0;
    virtual void frameUpdate() {}
    virtual bool release() = 0;
    virtual ID3D11Resource* getResource(bool read) = 0;
    virtual ID3D11UnorderedAccessView* getUav(bool read) = 0;
    virtual ID3D11ShaderResourceView* getSrv(bool read) = 0;
    virtual ID3D11RenderTargetView* getRtv(bool read) = 0;
    virtual ID3D11DepthStencilView* getDsv() = 0;
    // Textures only: writes pixels into copy A, and rebuilds the mip chain. A buffer has
    // nothing to do for either.
    virtual void upload(const void* /*pixels*/, uint32_t /*width*/, uint32_t /*height*/,
                        uint32_t /*bytesPerPixel*/) {}
    virtual void generateMips() {}

    // Destroying an object does not release its device objects: graph objects live until the
    // process ends, and the frame context's buffer outlives the device at exit. Call release.
    virtual ~Resource() = default;
};

} // namespace Fennick::gfx
