// The device values that a pass description selects: texture formats, primitive topology,
// blend and rasterizer descriptions.
#pragma once

#include "Fennick/draw_pass_runtime.h"
#include "Fennick/texture_desc.h"
#include "platform/d3d11.h"

namespace Fennick::gfx {

// DXGI_FORMAT_UNKNOWN for an index outside the table.
DXGI_FORMAT dxgiFormat(TextureFormat format);

// D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED for an index outside the table.
D3D11_PRIMITIVE_TOPOLOGY primitiveTopology(Topology topology);

// Blending on render target 0 only, enabled by `blend`. A mode outside the table leaves the
// six factor and operation fields zero; the device then refuses the description and the
// pass draws with the default state (no blending).
D3D11_BLEND_DESC blendDescription(uint8_t blend, BlendMode mode);

// Solid fill, back faces culled when cullBack is 1, clockwise front faces, depth clip on.
D3D11_RASTERIZER_DESC rasterizerDescription(uint8_t cullBack);

} // namespace Fennick::gfx
