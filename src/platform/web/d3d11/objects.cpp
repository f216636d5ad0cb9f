#include "platform/web/d3d11/objects.h"

#include "platform/web/d3d11/gpu_imports.h"

namespace quavel::d3d11 {

WebResource::~WebResource() {
    if (handle != 0) {
        quavelGpuRelease(handle);
    }
}

WebHandle::~WebHandle() {
    if (handle != 0) {
        quavelGpuRelease(handle);
    }
}

WebResource* webResource(ID3D11Resource* resource) {
    return dynamic_cast<WebResource*>(resource);
}

WebView* webView(ID3D11View* view) {
    return dynamic_cast<WebView*>(view);
}

uint32_t handleOf(IUnknown* object) {
    auto* web = dynamic_cast<WebHandle*>(object);
    return web != nullptr ? web->handle : 0;
}

UINT bytesPerTexel(DXGI_FORMAT format) {
    struct Size {
        DXGI_FORMAT format;
        UINT bytes;
    };
    static const Size sizes[] = {{DXGI_FORMAT_R32G32B32A32_FLOAT, 16},
                                 {DXGI_FORMAT_R32G32B32A32_UINT, 16},
                                 {DXGI_FORMAT_R16G16B16A16_FLOAT, 8},
                                 {DXGI_FORMAT_R32G32_FLOAT, 8},
                                 {DXGI_FORMAT_R8G8B8A8_UNORM, 4},
                                 {DXGI_FORMAT_D32_FLOAT, 4},
                                 {DXGI_FORMAT_R32_FLOAT, 4},
                                 {DXGI_FORMAT_R32_UINT, 4},
                                 {DXGI_FORMAT_D24_UNORM_S8_UINT, 4},
                                 {DXGI_FORMAT_R16_FLOAT, 2},
                                 {DXGI_FORMAT_R8_UNORM, 1},
                                 {DXGI_FORMAT_B8G8R8A8_UNORM, 4}};
    for (const Size& size : sizes) {
        if (size.format == format) {
            return size.bytes;
        }
    }
    return 0;
}

} // namespace quavel::d3d11
