#include "screen_placement.h"

#include <cmath>

namespace pictures::screen {

float glowReach(float intensity) {
    // Largest ray sum: 29 rays, each 1.85 x 1 x (0.5 / d^2) x 0.5 / n.
    double harmonic = 0.0;
    for (int n = 1; n <= 29; ++n) {
        harmonic += 1.0 / n;
    }
    const double raySum = 1.85 * 0.25 * harmonic;
    for (double d = 0.005; d < 2.0; d += 0.001) {
        double s = raySum / (d * d);
        double core = 0.9 * s * intensity * std::exp(-60.0 * d);
        double weight = 0.5 + s * 0.25 * intensity * std::exp(-20.0 * d);
        double colour = core * (1.0 + 0.5 * weight);
        // The composite multiplies colour by the summed alpha (each star adds at most 0.5
        // besides its own weight) and by 0.25 x 0.5.
        double alpha = weight + 0.5 * (glowStars.size() - 1);
        if (colour * alpha * 0.125 < 0.5 / 255.0) {
            return static_cast<float>(d);
        }
    }
    return 2.0f;
}

} // namespace pictures::screen
