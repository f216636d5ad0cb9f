// Shared steps of the two device creation entry points.
#pragma once

#include <memory>

#include "platform/linux/d3d11/d3d11_api.h"
#include "platform/linux/d3d11/gl_context.h"

namespace quavel::d3d11 {

class Device;

bool isOpenGlDriver(D3D_DRIVER_TYPE type);

// The driver a creation call asks for: a driver type without an adapter, or an adapter of our
// factories with D3D_DRIVER_TYPE_UNKNOWN (its driver, the hardware one), as Direct3D requires
// of the two; false for any other combination.
bool requestedDriver(IDXGIAdapter* adapter, D3D_DRIVER_TYPE type, D3D_DRIVER_TYPE& driver);

// Wraps the context in a device and hands out the requested references; `created`, when
// given, receives one more reference for the caller's own use.
HRESULT publishDevice(std::unique_ptr<GlContext> gl, D3D_FEATURE_LEVEL level, ID3D11Device** device,
                      D3D_FEATURE_LEVEL* obtainedLevel, ID3D11DeviceContext** context,
                      Device** created);

} // namespace quavel::d3d11
