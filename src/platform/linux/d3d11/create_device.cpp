// D3D11CreateDevice: a device on a hidden window of its own, for offline rendering and tests.
#include <new>

#include "platform/linux/d3d11/debug_switches.h"
#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/device_creation.h"
#include "platform/linux/d3d11/dxgi_factory.h"
#include "platform/linux/d3d11/refusals.h"

namespace quavel::d3d11 {

bool isOpenGlDriver(D3D_DRIVER_TYPE type) {
    // Every driver type that names a real device is served by the one OpenGL device.
    return type == D3D_DRIVER_TYPE_HARDWARE || type == D3D_DRIVER_TYPE_WARP ||
           type == D3D_DRIVER_TYPE_REFERENCE;
}

bool requestedDriver(IDXGIAdapter* adapter, D3D_DRIVER_TYPE type, D3D_DRIVER_TYPE& driver) {
    if (adapter == nullptr) {
        driver = type;
        return isOpenGlDriver(type);
    }
    driver = D3D_DRIVER_TYPE_HARDWARE;
    return type == D3D_DRIVER_TYPE_UNKNOWN && isFactoryAdapter(adapter);
}

HRESULT publishDevice(std::unique_ptr<GlContext> gl, D3D_FEATURE_LEVEL level, ID3D11Device** device,
                      D3D_FEATURE_LEVEL* obtainedLevel, ID3D11DeviceContext** context,
                      Device** created) {
    auto* made = new (std::nothrow) Device(std::move(gl), level);
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (obtainedLevel != nullptr) {
        *obtainedLevel = level;
    }
    if (context != nullptr) {
        made->GetImmediateContext(context);
    }
    if (created != nullptr) {
        *created = made;
        made->AddRef();
    }
    if (device != nullptr) {
        *device = made;
    } else {
        made->Release();
    }
    return S_OK;
}

} // namespace quavel::d3d11

using namespace quavel::d3d11;

HRESULT WINAPI D3D11CreateDevice(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType, HMODULE, UINT,
                                 const D3D_FEATURE_LEVEL* featureLevels, UINT featureLevelCount,
                                 UINT sdkVersion, ID3D11Device** device,
                                 D3D_FEATURE_LEVEL* obtainedLevel, ID3D11DeviceContext** context) {
    D3D_FEATURE_LEVEL level;
    if (sdkVersion != D3D11_SDK_VERSION || !requestedDriver(adapter, driverType, driverType)) {
        return refuse("D3D11CreateDevice",
                      "SDK version, or adapter and driver type (an adapter of a DXGI factory "
                      "with D3D_DRIVER_TYPE_UNKNOWN, or no adapter and a driver type)");
    }
    HRESULT refusal = S_OK;
    if (!driverLevel(driverType, featureLevels, featureLevelCount, level, refusal)) {
        if (FAILED(refusal)) {
            return refusal;
        }
        return refuse("D3D11CreateDevice", "no requested feature level is 11_0 or below");
    }
    std::unique_ptr<GlContext> gl = GlContext::createHidden();
    if (!gl) {
        return DXGI_ERROR_UNSUPPORTED;
    }
    return publishDevice(std::move(gl), level, device, obtainedLevel, context, nullptr);
}
