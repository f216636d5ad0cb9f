// The show's swap chain, field by field: the one description start-up creates it from, and
// the one the swap-chain tests create theirs from.
#pragma once

#include "platform/d3d11.h"

DXGI_SWAP_CHAIN_DESC swapChainDescription(HWND window);
