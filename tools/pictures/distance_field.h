// Exact Euclidean distance transform, for outlines, bevels and glow reach of the drawn shapes.
#pragma once

#include "canvas.h"

namespace pictures {

// Distance in pixels from every pixel to the nearest pixel whose value is >= threshold;
// pixels in the set get 0. An empty set gives a large distance everywhere.
Plane distanceToSet(const Plane& plane, float threshold);

// Signed distance to the edge of the set {coverage >= 0.5}: negative inside, positive outside.
Plane signedDistance(const Plane& coverage);

} // namespace pictures
