// The 764 x 348 overlay pictures: logo, glass layers, raster mask, glow mask and heart.
//
// All of them are stored upright. The composite reads them with v growing downwards, the
// picture loader flips their rows and the final pass turns the composite upside down: the two
// flips cancel, and the logo lands at screen x 418..1182, y 77..425 (screen_placement.h works
// this through). The glow shader reads glowstuffmap through a different anchor, so only the
// mask's first row lies under its stars.
#pragma once

#include "canvas.h"
#include "logo_shape.h"

namespace pictures {

Canvas drawLogo(const LogoShape& shape);
// The glass plate behind the lettering, whole or shattered by the explosions, kept clear of
// every pixel the logo covers.
Canvas drawGlass(const LogoShape& shape, const Canvas& logo, bool shattered);
// 1 where the raster bars show through the letter faces, 0 elsewhere.
Plane rasterMask(const LogoShape& shape);
// 1 on the glowstuffmap pixels that psGlowLogo reads within reach of one of its stars.
Plane glowMask();
Canvas drawHeart();

} // namespace pictures
