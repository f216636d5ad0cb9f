#include "app/show_device.h"

#include "Fennick/creation_check.h"

namespace {

struct Attempt {
    HRESULT result = E_FAIL;
    IDXGISwapChain* swapChain = nullptr;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_9_1;

    bool complete() const { return SUCCEEDED(result) && swapChain && device && context; }
    // Everything made goes, so that the window can take another swap chain.
    void release() {
        if (context)
            context->Release();
        if (swapChain)
            swapChain->Release();
        if (device)
            device->Release();
        *this = Attempt{};
    }
};

// 10_1 is asked for too, so that a GPU limited to it is named with its own level.
constexpr D3D_FEATURE_LEVEL kLevels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                         D3D_FEATURE_LEVEL_10_0};

// A device on `adapter` takes the driver type UNKNOWN; without one, `driver` picks it.
Attempt attempt(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driver, const DXGI_SWAP_CHAIN_DESC& desc) {
    Attempt a;
    a.result = D3D11CreateDeviceAndSwapChain(
        adapter, adapter ? D3D_DRIVER_TYPE_UNKNOWN : driver, nullptr, 0, kLevels,
        UINT(sizeof kLevels / sizeof kLevels[0]), D3D11_SDK_VERSION, &desc, &a.swapChain, &a.device,
        &a.level, &a.context);
    if (SUCCEEDED(a.result) && !a.complete())
        a.result = E_FAIL; // success without the objects: treated as the failure it is
    return a;
}

std::string callFailure(const char* driver, HRESULT hr) {
    return std::string("D3D11CreateDeviceAndSwapChain with the ") + driver +
           " driver failed: " + Fennick::gfx::hresultText(hr);
}

} // namespace

std::string featureLevelName(D3D_FEATURE_LEVEL level) {
    const unsigned value = static_cast<unsigned>(level);
    return std::to_string(value >> 12) + "_" + std::to_string((value >> 8) & 0xF);
}

std::string adapterName(ID3D11Device* device) {
    IDXGIDevice* dxgi = nullptr;
    if (!device ||
        FAILED(device->QueryInterface(__uuidof(IDXGIDevice), reinterpret_cast<void**>(&dxgi))) ||
        !dxgi)
        return "";
    std::string name;
    IDXGIAdapter* adapter = nullptr;
    DXGI_ADAPTER_DESC desc = {};
    if (SUCCEEDED(dxgi->GetAdapter(&adapter)) && adapter && SUCCEEDED(adapter->GetDesc(&desc))) {
        // Adapter names are ASCII in practice; anything else is shown as '?'.
        for (const WCHAR* c = desc.Description; *c && c < desc.Description + 128; ++c)
            name += *c < 0x80 ? char(*c) : '?';
    }
    if (adapter)
        adapter->Release();
    dxgi->Release();
    return name;
}

IDXGIAdapter* highPerformanceAdapter() {
    IDXGIFactory1* factory = nullptr;
    if (FAILED(CreateDXGIFactory1(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(&factory))) ||
        !factory)
        return nullptr;
    IDXGIFactory6* factory6 = nullptr;
    IDXGIAdapter* adapter = nullptr;
    if (SUCCEEDED(factory->QueryInterface(__uuidof(IDXGIFactory6),
                                          reinterpret_cast<void**>(&factory6))) &&
        factory6) {
        if (FAILED(factory6->EnumAdapterByGpuPreference(0, DXGI_GPU_PREFERENCE_HIGH_PERFORMANCE,
                                                        __uuidof(IDXGIAdapter),
                                                        reinterpret_cast<void**>(&adapter))))
            adapter = nullptr;
        factory6->Release();
    }
    factory->Release();
    return adapter;
}

ShowDevice createShowDevice(const DXGI_SWAP_CHAIN_DESC& desc) {
    ShowDevice made;
    IDXGIAdapter* preferred = highPerformanceAdapter();
    Attempt hardware = attempt(preferred, D3D_DRIVER_TYPE_HARDWARE, desc);
    if (preferred)
        preferred->Release();
    if (hardware.complete() && hardware.level >= kShowFeatureLevel) {
        made.swapChain = hardware.swapChain;
        made.device = hardware.device;
        made.context = hardware.context;
        made.level = hardware.level;
        return made;
    }
    // What the hardware offers, for the messages: its name and level, or why there is none.
    std::string hardwareText;
    if (hardware.complete()) {
        const std::string name = adapterName(hardware.device);
        hardwareText = "the graphics adapter" + (name.empty() ? "" : " \"" + name + "\"") +
                       " offers Direct3D feature level " + featureLevelName(hardware.level);
    } else if (hardware.result == DXGI_ERROR_UNSUPPORTED) {
        hardwareText = "no graphics adapter offers Direct3D feature level 10_0 or above";
    } else {
        made.error = callFailure("hardware", hardware.result);
        return made;
    }
    hardware.release();

    Attempt warp = attempt(nullptr, D3D_DRIVER_TYPE_WARP, desc);
    const std::string needed =
        "the show needs feature level " + featureLevelName(kShowFeatureLevel);
    if (!warp.complete() || warp.level < kShowFeatureLevel) {
        const std::string warpText =
            warp.complete()
                ? "the software rasteriser (WARP) offers only " + featureLevelName(warp.level)
                : "the software rasteriser (WARP) cannot be started (" +
                      Fennick::gfx::hresultText(warp.result) + ")";
        made.error = hardwareText + "; " + needed + ", and " + warpText;
        warp.release();
        return made;
    }
    made.swapChain = warp.swapChain;
    made.device = warp.device;
    made.context = warp.context;
    made.level = warp.level;
    made.software = true;
    made.softwareNote = hardwareText + "; " + needed +
                        ", so it runs in software on the Windows software rasteriser (WARP): "
                        "it looks the same but may run slowly.";
    return made;
}
