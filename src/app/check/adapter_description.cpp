#include "app/check/adapter_description.h"

#include <cstdio>

#include "app/show_device.h"

AdapterDescription describeAdapter(ID3D11Device* device) {
    AdapterDescription d{"unknown", "unknown", "unknown", "unknown"};
    if (device == nullptr)
        return d;
    d.featureLevel = featureLevelName(device->GetFeatureLevel());
    IDXGIDevice* dxgi = nullptr;
    if (FAILED(device->QueryInterface(__uuidof(IDXGIDevice), reinterpret_cast<void**>(&dxgi))) ||
        dxgi == nullptr)
        return d;
    IDXGIAdapter* adapter = nullptr;
    if (SUCCEEDED(dxgi->GetAdapter(&adapter)) && adapter != nullptr) {
        DXGI_ADAPTER_DESC desc = {};
        if (SUCCEEDED(adapter->GetDesc(&desc))) {
            const std::string name = adapterName(device);
            if (!name.empty())
                d.adapter = name;
            char vendor[16];
            std::snprintf(vendor, sizeof vendor, "0x%04X", unsigned(desc.VendorId));
            d.vendor = vendor;
        }
        LARGE_INTEGER umd = {};
        if (SUCCEEDED(adapter->CheckInterfaceSupport(__uuidof(IDXGIDevice), &umd))) {
            const auto v = static_cast<unsigned long long>(umd.QuadPart);
            char version[48];
            std::snprintf(version, sizeof version, "%u.%u.%u.%u", unsigned(v >> 48 & 0xffff),
                          unsigned(v >> 32 & 0xffff), unsigned(v >> 16 & 0xffff),
                          unsigned(v & 0xffff));
            d.driverVersion = version;
        }
        adapter->Release();
    }
    dxgi->Release();
    return d;
}

namespace {

std::string narrow(const WCHAR* text, std::size_t capacity) {
    // Adapter names are ASCII in practice; anything else is shown as '?'.
    std::string name;
    for (const WCHAR* c = text; *c && c < text + capacity; ++c)
        name += *c < 0x80 ? char(*c) : '?';
    return name;
}

bool sameLuid(const LUID& a, const LUID& b) {
    return a.LowPart == b.LowPart && a.HighPart == b.HighPart;
}

// The LUID of the adapter `device` runs on; false when it cannot be asked.
bool deviceLuid(ID3D11Device* device, LUID& luid) {
    IDXGIDevice* dxgi = nullptr;
    if (device == nullptr ||
        FAILED(device->QueryInterface(__uuidof(IDXGIDevice), reinterpret_cast<void**>(&dxgi))) ||
        dxgi == nullptr)
        return false;
    IDXGIAdapter* adapter = nullptr;
    DXGI_ADAPTER_DESC desc = {};
    const bool known =
        SUCCEEDED(dxgi->GetAdapter(&adapter)) && adapter && SUCCEEDED(adapter->GetDesc(&desc));
    if (adapter)
        adapter->Release();
    dxgi->Release();
    luid = desc.AdapterLuid;
    return known;
}

} // namespace

std::vector<SeenAdapter> listAdapters(ID3D11Device* device) {
    std::vector<SeenAdapter> seen;
    IDXGIFactory1* factory = nullptr;
    if (FAILED(CreateDXGIFactory1(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(&factory))) ||
        !factory)
        return seen;
    LUID used = {}, preferred = {};
    const bool usedKnown = deviceLuid(device, used);
    bool preferredKnown = false;
    if (IDXGIAdapter* first = highPerformanceAdapter()) {
        DXGI_ADAPTER_DESC desc = {};
        preferredKnown = SUCCEEDED(first->GetDesc(&desc));
        preferred = desc.AdapterLuid;
        first->Release();
    }
    IDXGIAdapter1* adapter = nullptr;
    for (UINT i = 0; factory->EnumAdapters1(i, &adapter) != DXGI_ERROR_NOT_FOUND; ++i) {
        if (!adapter)
            continue;
        DXGI_ADAPTER_DESC1 desc = {};
        if (SUCCEEDED(adapter->GetDesc1(&desc))) {
            SeenAdapter a;
            a.name = narrow(desc.Description, 128);
            char vendor[16];
            std::snprintf(vendor, sizeof vendor, "0x%04X", unsigned(desc.VendorId));
            a.vendor = vendor;
            a.software = (desc.Flags & DXGI_ADAPTER_FLAG_SOFTWARE) != 0;
            a.preferred = preferredKnown && sameLuid(desc.AdapterLuid, preferred);
            a.used = usedKnown && sameLuid(desc.AdapterLuid, used);
            seen.push_back(a);
        }
        adapter->Release();
        adapter = nullptr;
    }
    factory->Release();
    return seen;
}
