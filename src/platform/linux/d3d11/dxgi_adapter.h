// The device seen through DXGI: QueryInterface of the device for IDXGIDevice gives its
// adapter, which describes itself from what OpenGL says of the driver (GL_RENDERER for the
// description, GL_VENDOR for the PCI vendor id, the driver version at the end of GL_VERSION
// for the user-mode driver version).
#pragma once

#include <string>

#include "platform/linux/d3d11/com_object.h"

namespace quavel::d3d11 {

class Device;

// A new IDXGIDevice of `device` (one public reference).
IDXGIDevice* makeDxgiDevice(Device& device);

// "4.5 (Core Profile) Mesa 22.3.6" -> 22.3.6.0 packed as four 16-bit numbers, most
// significant first; 0 when the text names no version after the OpenGL one.
LONGLONG driverVersionFromGlVersion(const std::string& glVersion);

// 0x10DE for "NVIDIA Corporation", 0x1002 for AMD or ATI, 0x8086 for Intel; 0 otherwise.
UINT pciVendorFromGlVendor(const std::string& glVendor);

} // namespace quavel::d3d11
