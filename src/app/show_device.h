// The show's Direct3D 11 device and swap chain, at feature level 11_0 or not at all:
//
//     ShowDevice made = createShowDevice(swapChainDesc);
//     if (!made.error.empty()) { /* stop: it names the adapter or the call, and the result */ }
//     if (!made.softwareNote.empty()) { /* tell the person once: the show runs in software */ }
//
// The show's compute passes, structured buffers and unordered access to textures need 11_0.
// The hardware device is made on the adapter DXGI ranks first for high performance
// (IDXGIFactory6, Windows 10 1803 and later; before that the default adapter), so a laptop
// with two GPUs uses the fast one. It is asked for 11_0, then 10_1 and 10_0; a device below
// 11_0 (a GPU limited to Direct3D 10), or no hardware device at all, is replaced by the WARP
// software rasteriser, which runs 11_0 everywhere it exists.
#pragma once

#include <string>

#include "platform/d3d11.h"

constexpr D3D_FEATURE_LEVEL kShowFeatureLevel = D3D_FEATURE_LEVEL_11_0;

struct ShowDevice {
    IDXGISwapChain* swapChain = nullptr;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_9_1;
    bool software = false;    // WARP
    std::string error;        // empty when the device is usable; then all three objects exist
    std::string softwareNote; // set when the show runs on WARP
};

ShowDevice createShowDevice(const DXGI_SWAP_CHAIN_DESC& desc);

// "11_0", "10_1", ...
std::string featureLevelName(D3D_FEATURE_LEVEL level);

// The adapter DXGI ranks first for high performance, or null when the factory cannot rank
// them (no IDXGIFactory6): the caller releases it.
IDXGIAdapter* highPerformanceAdapter();

// The description of the DXGI adapter the device runs on, or "" when it cannot be asked.
std::string adapterName(ID3D11Device* device);
