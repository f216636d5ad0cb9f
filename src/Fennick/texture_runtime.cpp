// The device-independent half of TextureRuntime; create, release, upload and generateMips
// talk to the device in gfx_directx_impl.cpp.
#include "Fennick/texture_runtime.h"

#include "Fennick/copy_selection.h"

namespace Fennick::gfx {

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
