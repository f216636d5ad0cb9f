// Queries on OpenGL timer queries: a TIMESTAMP query is a glQueryCounter(GL_TIMESTAMP) issued
// at End, read in nanoseconds; the TIMESTAMP_DISJOINT query around them reports a frequency of
// 1 GHz. OpenGL has no sign of a disjoint clock (a changed GPU frequency), so Disjoint is
// always FALSE. Other query kinds are refused.
#pragma once

#include <epoxy/gl.h>

#include "platform/linux/d3d11/com_object.h"

namespace quavel::d3d11 {

class Device;

class Query final : public DeviceChildObject<ID3D11Query> {
public:
    Query(Device& device, const D3D11_QUERY_DESC& desc);
    ~Query() override;

    UINT GetDataSize() override;
    void GetDesc(D3D11_QUERY_DESC* desc) override;

    void begin();
    void end();
    // S_OK with the result, S_FALSE while the GPU has not reached the End yet.
    HRESULT getData(void* data, UINT size, UINT flags);

private:
    D3D11_QUERY_DESC desc_;
    GLuint query_ = 0;
    bool began_ = false, ended_ = false;
};

// Whether the layer provides queries of this kind.
bool queryKindSupported(D3D11_QUERY kind);

} // namespace quavel::d3d11
