// The swap chain: an offscreen back buffer in Direct3D's row order, copied to the window
// the right way up by Present.
#pragma once

#include "platform/linux/d3d11/com_object.h"

namespace quavel::d3d11 {

// Creates the back buffer for the window's drawable size (or the description's size).
HRESULT createSwapChain(Device& device, const DXGI_SWAP_CHAIN_DESC& desc,
                        IDXGISwapChain** swapChain);

} // namespace quavel::d3d11
