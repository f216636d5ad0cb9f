// Calls the layer refuses, as Direct3D refuses them. Direct3D's debug layer says which field
// or rule a refused call broke; with QUAVEL_D3D11_DEBUG set (to anything but 0) this layer
// prints the same on stderr, one line per refusal:
//
//   return refuse("CreateRasterizerState", "ScissorEnable: scissor rectangles are not supported");
//   d3d11: CreateRasterizerState refused: ScissorEnable: scissor rectangles are not supported
#pragma once

#include "platform/linux/d3d11/d3d11_api.h"

namespace quavel::d3d11 {

// Reports the refusal when the switch is on; returns E_INVALIDARG.
HRESULT refuse(const char* call, const char* rule);

// The same for calls without a result, which Direct3D drops.
void dropCall(const char* call, const char* rule);

} // namespace quavel::d3d11
