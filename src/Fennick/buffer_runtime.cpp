// The device-independent half of BufferRuntime; create and release are in
// gfx_directx_impl.cpp.
#include "Fennick/buffer_runtime.h"

#include "Fennick/copy_selection.h"

namespace Fennick::gfx {

bool BufferRuntime::init(const void* description, uint8_t doubleBuffer) {
    desc = *static_cast<const BufferDesc*>(description);
    // A constant buffer has no copy B; a set flag would make the getters hand out the
    // missing copy every other frame.
    doubleBuffered = desc.constant ? 0 : doubleBuffer;
    return create();
}

ID3D11Resource* BufferRuntime::getResource(bool read) {
    return selectCopy<ID3D11Resource*>(doubleBuffered, swapped, read, bufferA, bufferB);
}

ID3D11UnorderedAccessView* BufferRuntime::getUav(bool read) {
    return selectCopy(doubleBuffered, swapped, read, uavA, uavB);
}

ID3D11ShaderResourceView* BufferRuntime::getSrv(bool read) {
    return selectCopy(doubleBuffered, swapped, read, srvA, srvB);
}

} // namespace Fennick::gfx
