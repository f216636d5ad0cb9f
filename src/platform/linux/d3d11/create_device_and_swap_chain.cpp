// D3D11CreateDeviceAndSwapChain: the device draws with an OpenGL context made on the SDL
// window behind the swap chain's output window.
#include "platform/linux/d3d11/debug_switches.h"
#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/device_creation.h"
#include "platform/linux/d3d11/refusals.h"
#include "platform/linux/d3d11/swap_chain.h"
#include "platform/linux/win32/sdl_window_access.h"

using namespace quavel::d3d11;

namespace {

bool validSwapChainDesc(const DXGI_SWAP_CHAIN_DESC& desc) {
    bool formatOk = desc.BufferDesc.Format == DXGI_FORMAT_R8G8B8A8_UNORM ||
                    desc.BufferDesc.Format == DXGI_FORMAT_B8G8R8A8_UNORM ||
                    desc.BufferDesc.Format == DXGI_FORMAT_R16G16B16A16_FLOAT;
    return formatOk && desc.SampleDesc.Count == 1 && desc.BufferCount >= 1 &&
           (desc.BufferUsage & DXGI_USAGE_RENDER_TARGET_OUTPUT);
}

} // namespace

HRESULT WINAPI D3D11CreateDeviceAndSwapChain(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType,
                                             HMODULE, UINT, const D3D_FEATURE_LEVEL* featureLevels,
                                             UINT featureLevelCount, UINT sdkVersion,
                                             const DXGI_SWAP_CHAIN_DESC* swapChainDesc,
                                             IDXGISwapChain** swapChain, ID3D11Device** device,
                                             D3D_FEATURE_LEVEL* obtainedLevel,
                                             ID3D11DeviceContext** context) {
    D3D_FEATURE_LEVEL level;
    HRESULT refusal = S_OK;
    if (sdkVersion != D3D11_SDK_VERSION || !requestedDriver(adapter, driverType, driverType) ||
        !driverLevel(driverType, featureLevels, featureLevelCount, level, refusal)) {
        if (FAILED(refusal)) {
            return refusal; // the driver (as the debug switches make it) offers none of them
        }
        return refuse("D3D11CreateDeviceAndSwapChain",
                      "SDK version, adapter and driver type (an adapter of a DXGI factory with "
                      "D3D_DRIVER_TYPE_UNKNOWN, or no adapter and a driver type), or feature "
                      "levels");
    }
    if (swapChain != nullptr && (swapChainDesc == nullptr || !validSwapChainDesc(*swapChainDesc))) {
        return refuse("D3D11CreateDeviceAndSwapChain",
                      "swap chain: null description, BufferDesc.Format other than R8G8B8A8, "
                      "B8G8R8A8 or R16G16B16A16_FLOAT, SampleDesc.Count not 1, no buffers, or "
                      "BufferUsage without RENDER_TARGET_OUTPUT");
    }
    if (swapChain != nullptr && !swapChainDesc->Windowed) {
        return refuse("D3D11CreateDeviceAndSwapChain",
                      "Windowed FALSE: full-screen swap chains are not supported");
    }
    if (swapChain != nullptr && swapChainDesc->SampleDesc.Quality != 0) {
        return refuse("D3D11CreateDeviceAndSwapChain",
                      "SampleDesc.Quality must be 0 for one sample");
    }
    std::unique_ptr<GlContext> gl;
    if (swapChain != nullptr) {
        SDL_Window* window = quavelSdlWindowFromHwnd(swapChainDesc->OutputWindow);
        if (window == nullptr) {
            return DXGI_ERROR_INVALID_CALL;
        }
        gl = GlContext::createOnWindow(window);
    } else {
        gl = GlContext::createHidden();
    }
    if (!gl) {
        return DXGI_ERROR_UNSUPPORTED;
    }
    Device* created = nullptr;
    ID3D11Device* madeDevice = nullptr;
    ID3D11DeviceContext* madeContext = nullptr;
    HRESULT result =
        publishDevice(std::move(gl), level, &madeDevice, obtainedLevel, &madeContext, &created);
    if (FAILED(result)) {
        return result;
    }
    if (swapChain != nullptr) {
        result = createSwapChain(*created, *swapChainDesc, swapChain);
    }
    created->Release();
    if (FAILED(result)) {
        madeContext->Release();
        madeDevice->Release();
        return result;
    }
    if (device != nullptr) {
        *device = madeDevice;
    } else {
        madeDevice->Release();
    }
    if (context != nullptr) {
        *context = madeContext;
    } else {
        madeContext->Release();
    }
    return S_OK;
}
