// The 764 x 348 overlay pictures: logo, glass layers, raster mask, glow mask and heart.
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
