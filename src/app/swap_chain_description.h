// The show's swap chain, field by field: the one description start-up creates it from, and
// the one the swap-chain tests create theirs from.
#pragma once

#include "platform/d3d11.h"

// A back buffer of width x height; 0 x 0 takes the window's client size.
DXGI_SWAP_CHAIN_DESC swapChainDescription(HWND window, UINT width = 0, UINT height = 0);
