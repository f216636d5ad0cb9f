#include "platform/linux/d3d11/queries.h"

#include <cstring>

#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/refusals.h"

namespace quavel::d3d11 {

namespace {
constexpr UINT64 kNanosecondsPerSecond = 1000000000u;
}

bool queryKindSupported(D3D11_QUERY kind) {
    return kind == D3D11_QUERY_TIMESTAMP || kind == D3D11_QUERY_TIMESTAMP_DISJOINT;
}

Query::Query(Device& device, const D3D11_QUERY_DESC& desc)
    : DeviceChildObject<ID3D11Query>(device), desc_(desc) {
    if (desc_.Query == D3D11_QUERY_TIMESTAMP) {
        device.makeCurrent();
        glGenQueries(1, &query_);
    }
}

Query::~Query() {
    if (query_ != 0) {
        device().makeCurrent();
        glDeleteQueries(1, &query_);
    }
}

UINT Query::GetDataSize() {
    return desc_.Query == D3D11_QUERY_TIMESTAMP ? UINT(sizeof(UINT64))
                                                : UINT(sizeof(D3D11_QUERY_DATA_TIMESTAMP_DISJOINT));
}

void Query::GetDesc(D3D11_QUERY_DESC* desc) {
    if (desc != nullptr) {
        *desc = desc_;
    }
}

void Query::begin() {
    // A timestamp has no Begin; Direct3D ignores one.
    if (desc_.Query == D3D11_QUERY_TIMESTAMP_DISJOINT) {
        began_ = true;
        ended_ = false;
    }
}

void Query::end() {
    if (desc_.Query == D3D11_QUERY_TIMESTAMP) {
        device().makeCurrent();
        glQueryCounter(query_, GL_TIMESTAMP);
        ended_ = true;
    } else if (began_) {
        began_ = false;
        ended_ = true;
    }
}

HRESULT Query::getData(void* data, UINT size, UINT flags) {
    if (!ended_ || (data != nullptr && size != GetDataSize())) {
        return DXGI_ERROR_INVALID_CALL;
    }
    if (desc_.Query == D3D11_QUERY_TIMESTAMP_DISJOINT) {
        const D3D11_QUERY_DATA_TIMESTAMP_DISJOINT result = {kNanosecondsPerSecond, FALSE};
        if (data != nullptr) {
            std::memcpy(data, &result, sizeof result);
        }
        return S_OK;
    }
    device().makeCurrent();
    GLint available = GL_FALSE;
    glGetQueryObjectiv(query_, GL_QUERY_RESULT_AVAILABLE, &available);
    if (available != GL_TRUE) {
        if ((flags & D3D11_ASYNC_GETDATA_DONOTFLUSH) == 0) {
            glFlush();
        }
        return S_FALSE;
    }
    GLuint64 nanoseconds = 0;
    glGetQueryObjectui64v(query_, GL_QUERY_RESULT, &nanoseconds);
    if (data != nullptr) {
        const UINT64 ticks = nanoseconds;
        std::memcpy(data, &ticks, sizeof ticks);
    }
    return S_OK;
}

} // namespace quavel::d3d11
