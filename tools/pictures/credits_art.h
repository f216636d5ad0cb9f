// The credits strip: pixel lettering on the 299 x 17 screen-pixel grid it is shown at.
#pragma once

#include "canvas.h"
#include "font_renderer.h"

#include <string>

namespace pictures {

// One character per 13-pixel column, so the per-column wave moves whole letters. The text must
// have at most 23 characters; it is centred.
constexpr const char* creditsText = "CODE GFX MUSIC: QUAVEL1";

bool drawCredits(const Font& font, const std::string& text, Canvas& out, std::string& error);

} // namespace pictures
