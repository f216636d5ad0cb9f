// D3D11CreateDevice on the page's WebGPU device. Any driver type gives it; the feature level
// is 11_0, the first of the requested levels it can be.
#include "platform/web/d3d11/device.h"
#include "platform/web/d3d11/device_context.h"
#include "platform/web/d3d11/refusals.h"

using quavel::d3d11::Device;

HRESULT WINAPI D3D11CreateDevice(IDXGIAdapter*, D3D_DRIVER_TYPE, HMODULE, UINT,
                                 const D3D_FEATURE_LEVEL* levels, UINT levelCount, UINT,
                                 ID3D11Device** device, D3D_FEATURE_LEVEL* chosen,
                                 ID3D11DeviceContext** context) {
    bool offered = levels == nullptr || levelCount == 0;
    for (UINT i = 0; i < levelCount && levels != nullptr; ++i) {
        offered = offered || levels[i] <= D3D_FEATURE_LEVEL_11_0;
    }
    if (!offered) {
        return quavel::d3d11::refuse("D3D11CreateDevice", "the web device is of level 11_0");
    }
    auto* made = new Device();
    if (chosen != nullptr) {
        *chosen = D3D_FEATURE_LEVEL_11_0;
    }
    if (context != nullptr) {
        made->GetImmediateContext(context);
    }
    if (device != nullptr) {
        *device = made;
    } else {
        made->Release();
    }
    return S_OK;
}
