// Debug switches of the Direct3D layer, read once from the environment. They let tests see
// what only other machines do:
//
//   QUAVEL_D3D11_HARDWARE_LEVEL=10_0   the hardware driver offers no feature level above this
//                                      one (a GPU limited to Direct3D 10), so a request that
//                                      starts at 11_0 gets 10_0, and one for 11_0 alone fails;
//                                      none: the hardware driver offers no level at all
//   QUAVEL_D3D11_NO_WARP=1             the WARP driver answers DXGI_ERROR_UNSUPPORTED
//   QUAVEL_D3D11_FILL_NEW=1            buffers and textures created without initial data hold
//                                      the byte 0x5A everywhere instead of zeros: Direct3D
//                                      leaves their contents undefined, and a program that
//                                      reads them before writing shows it; so does the
//                                      back buffer after every Present
//   QUAVEL_D3D11_REMOVE_AT_PRESENT=N   the device is removed at the Nth Present (counted from
//                                      1): that one and every later one return
//                                      DXGI_ERROR_DEVICE_REMOVED, and GetDeviceRemovedReason
//                                      gives DXGI_ERROR_DEVICE_HUNG (a GPU timeout)
//   QUAVEL_D3D11_OCCLUDE_AT_PRESENT=N:MS
//                                      from the Nth Present the window cannot be seen for MS
//                                      milliseconds (minimised, the screen locked): Present,
//                                      with DXGI_PRESENT_TEST too, returns DXGI_STATUS_OCCLUDED
//                                      and shows nothing, and waits for no vertical blank
//   QUAVEL_D3D11_NO_FACTORY6=1         the DXGI factory has no IDXGIFactory6 (Windows 10
//                                      before 1803)
//   QUAVEL_D3D11_REFUSE_SHADER=TEXT    CreateVertexShader, CreatePixelShader and
//                                      CreateComputeShader answer E_INVALIDARG for a shader
//                                      whose GLSL text holds TEXT (a resource name, say), as a
//                                      driver may refuse a block its compiler made
#pragma once

#include <string>

#include "platform/linux/d3d11/d3d11_api.h"

namespace quavel::d3d11 {

struct DebugSwitches {
    D3D_FEATURE_LEVEL hardwareLevel = D3D_FEATURE_LEVEL_11_0;
    bool noWarp = false;
    bool fillNew = false;
    unsigned removeAtPresent = 0;  // 0: never
    unsigned occludeAtPresent = 0; // 0: never
    unsigned occludedMs = 0;
    bool noFactory6 = false;
    std::string refusedShaderText; // empty: every shader is made
};

const DebugSwitches& debugSwitches();

// The byte that new resources without initial data hold.
inline unsigned char newResourceByte() {
    return debugSwitches().fillNew ? 0x5A : 0x00;
}

// The level the driver gives for a request (the first requested level it offers), or false
// when it offers none of them; DXGI_ERROR_UNSUPPORTED in `refusal` when the driver itself
// cannot be created.
bool driverLevel(D3D_DRIVER_TYPE driver, const D3D_FEATURE_LEVEL* requested, UINT count,
                 D3D_FEATURE_LEVEL& chosen, HRESULT& refusal);

} // namespace quavel::d3d11
