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
