// The DXGI side of a device: ID3D11Device answers IDXGIDevice, whose adapter is named after
// the OpenGL renderer (e.g. "llvmpipe (LLVM 15.0.6, 256 bits)").
#pragma once

#include "platform/linux/d3d11/d3d11_api.h"

namespace quavel::d3d11 {

class Device;

// A new IDXGIDevice reference for `device` (which it keeps alive), or null without memory.
IDXGIDevice* dxgiDeviceOf(Device& device);

} // namespace quavel::d3d11
