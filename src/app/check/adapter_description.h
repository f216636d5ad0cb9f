// What the self-check says about the graphics device: the adapter's name and PCI vendor, the
// user-mode driver's version and the feature level, asked of the device through DXGI
// (IDXGIDevice -> IDXGIAdapter::GetDesc and CheckInterfaceSupport), and every adapter the
// machine has, with the one used and the one preferred for high performance.
#pragma once

#include <string>
#include <vector>

#include "platform/d3d11.h"

struct AdapterDescription {
    std::string adapter;       // "NVIDIA GeForce GTX 1060 6GB", or "unknown"
    std::string vendor;        // "0x10DE", or "unknown"
    std::string driverVersion; // "31.0.15.3623", or "unknown"
    std::string featureLevel;  // "11_0"
};

AdapterDescription describeAdapter(ID3D11Device* device);

// One adapter the DXGI factory lists (IDXGIFactory1::EnumAdapters1), in its order.
struct SeenAdapter {
    std::string name;
    std::string vendor;     // "0x10DE"
    bool software = false;  // DXGI_ADAPTER_FLAG_SOFTWARE (the Basic Render Driver)
    bool preferred = false; // the one DXGI ranks first for high performance
    bool used = false;      // the one `device` runs on (same LUID)
};

std::vector<SeenAdapter> listAdapters(ID3D11Device* device);
