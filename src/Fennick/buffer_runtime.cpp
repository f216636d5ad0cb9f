// BufferRuntime: its buffers and views on the device (structured buffers from zeros or their
// data, constant buffers empty), and its copies chosen by the frame.
#include "Fennick/buffer_runtime.h"

#include <memory>

#include "Fennick/copy_selection.h"
#include "Fennick/creation_check.h"
#include "Fennick/device_access.h"
#include "Fennick/zero_block.h"

namespace Fennick::gfx {

namespace {

ID3D11Buffer* createBuffer(const BufferDesc& desc, const void* initialData, const char* copy) {
    const UINT byteWidth = elementCount(desc) * desc.stride;
    // An empty buffer cannot exist on the device; leave it absent rather than depend on how
    // the driver answers.
    if (byteWidth == 0)
        return nullptr;
    D3D11_BUFFER_DESC d = {};
    d.ByteWidth = byteWidth;
    d.Usage = D3D11_USAGE_DEFAULT;
    d.BindFlags = desc.constant ? UINT(D3D11_BIND_CONSTANT_BUFFER)
                                : UINT(D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS);
    d.CPUAccessFlags = 0;
    d.MiscFlags = desc.constant ? 0 : UINT(D3D11_RESOURCE_MISC_BUFFER_STRUCTURED);
    d.StructureByteStride = desc.stride;
    // A structured buffer without contents starts as zeros (see ZeroBlock). A constant buffer is
    // written before every pass that reads it and needs none: it is made again every frame.
    std::unique_ptr<ZeroBlock> zeros;
    if (!initialData && !desc.constant) {
        zeros = std::make_unique<ZeroBlock>(byteWidth);
        initialData = zeros->bytes;
    }
    D3D11_SUBRESOURCE_DATA data = {};
    data.pSysMem = initialData;
    ID3D11Buffer* buffer = nullptr;
    const HRESULT hr = device()->CreateBuffer(&d, initialData ? &data : nullptr, &buffer);
    noteCreation("CreateBuffer", hr, buffer, copy);
    return buffer;
}

void createBufferViews(ID3D11Buffer* buffer, UINT elements, ID3D11ShaderResourceView*& srv,
                       ID3D11UnorderedAccessView*& uav, const char* copy) {
    if (!buffer)
        return;
    D3D11_SHADER_RESOURCE_VIEW_DESC s = {};
    s.Format = DXGI_FORMAT_UNKNOWN;
    s.ViewDimension = D3D11_SRV_DIMENSION_BUFFER;
    s.Buffer.FirstElement = 0;
    s.Buffer.NumElements = elements;
    HRESULT hr = device()->CreateShaderResourceView(buffer, &s, &srv);
    noteCreation("CreateShaderResourceView", hr, srv, copy);

    D3D11_UNORDERED_ACCESS_VIEW_DESC u = {};
    u.Format = DXGI_FORMAT_UNKNOWN;
    u.ViewDimension = D3D11_UAV_DIMENSION_BUFFER;
    u.Buffer.FirstElement = 0;
    u.Buffer.NumElements = elements;
    u.Buffer.Flags = 0;
    hr = device()->CreateUnorderedAccessView(buffer, &u, &uav);
    noteCreation("CreateUnorderedAccessView", hr, uav, copy);
}

} // namespace

bool BufferRuntime::create() {
    bufferA = createBuffer(desc, desc.initialData, "copy A");
    if (desc.constant)
        return true;
    const UINT elements = elementCount(desc);
    createBufferViews(bufferA, elements, srvA, uavA, "copy A");
    if (doubleBuffered) {
        bufferB = createBuffer(desc, nullptr, "copy B");
        createBufferViews(bufferB, elements, srvB, uavB, "copy B");
    }
    return true;
}

bool BufferRuntime::release() {
    releaseAndClear(bufferA);
    releaseAndClear(bufferB);
    releaseAndClear(uavA);
    releaseAndClear(srvA);
    releaseAndClear(uavB);
    releaseAndClear(srvB);
    return true;
}

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
