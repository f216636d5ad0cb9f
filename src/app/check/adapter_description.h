// What the self-check says about the graphics device: the adapter's name and PCI vendor, the
// user-mode driver's version and the feature level, asked of the device through DXGI
// (IDXGIDevice -> IDXGIAdapter::GetDesc and CheckInterfaceSupport).
#pragma once

#include <string>

#include "platform/d3d11.h"

struct AdapterDescription {
    std::string adapter;       // "NVIDIA GeForce GTX 1060 6GB", or "unknown"
    std::string vendor;        // "0x10DE", or "unknown"
    std::string driverVersion; // "31.0.15.3623", or "unknown"
    std::string featureLevel;  // "11_0"
};

AdapterDescription describeAdapter(ID3D11Device* device);
