// Calls the web layer refuses, as Direct3D refuses them, each said on the console (stderr):
//
//   return refuse("CreateTexture3D", "the web layer makes 2D textures only");
//   d3d11: CreateTexture3D refused: the web layer makes 2D textures only
#pragma once

#include "platform/d3d11.h"

namespace quavel::d3d11 {

// Reports the refusal; returns E_INVALIDARG.
HRESULT refuse(const char* call, const char* rule);
// The same for calls without a result, which Direct3D drops.
void dropCall(const char* call, const char* rule);

} // namespace quavel::d3d11
