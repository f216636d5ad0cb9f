// The DXGI factory and the adapter it lists: the OpenGL driver, described from its strings
// (read once, on a hidden context, when first asked). A swap chain's parent is a factory too,
// which keeps the window association the program asks for.
#pragma once

#include "platform/linux/d3d11/com_object.h"

namespace quavel::d3d11 {

// A new factory (one public reference).
IDXGIFactory6* makeDxgiFactory();

// Whether `adapter` came from one of our factories: devices made on it are the OpenGL driver's.
bool isFactoryAdapter(IDXGIAdapter* adapter);

// The association a window last got through any factory (DXGI_MWA_*), or 0.
UINT windowAssociation(HWND window);

} // namespace quavel::d3d11
