// Piecewise-linear colour ramps; a repeated position gives a hard edge.
#pragma once

#include "canvas.h"

#include <initializer_list>
#include <vector>

namespace pictures {

struct RampStop {
    float at;
    Rgba colour;
};

class ColourRamp {
public:
    ColourRamp(std::initializer_list<RampStop> stops) : stops_(stops) {}
    Rgba operator()(float t) const {
        if (t <= stops_.front().at) {
            return stops_.front().colour;
        }
        for (std::size_t i = 1; i < stops_.size(); ++i) {
            if (t < stops_[i].at) {
                const RampStop& a = stops_[i - 1];
                const RampStop& b = stops_[i];
                return lerp(a.colour, b.colour, (t - a.at) / (b.at - a.at));
            }
        }
        return stops_.back().colour;
    }

private:
    std::vector<RampStop> stops_;
};

// The show's shared colours (dither and particle palettes).
namespace colours {
constexpr Rgba mint{0.718f, 0.859f, 0.718f, 1};
constexpr Rgba peach{1.0f, 0.718f, 0.431f, 1};
constexpr Rgba orange{1.0f, 0.573f, 0.286f, 1};
constexpr Rgba coral{0.859f, 0.431f, 0.286f, 1};
constexpr Rgba red{0.859f, 0.286f, 0.145f, 1};
constexpr Rgba wine{0.573f, 0.145f, 0.286f, 1};
constexpr Rgba plum{0.431f, 0.145f, 0.286f, 1};
constexpr Rgba aubergine{0.282f, 0.141f, 0.282f, 1};
constexpr Rgba teal{0.286f, 0.573f, 0.573f, 1};
constexpr Rgba sea{0.145f, 0.431f, 0.573f, 1};
constexpr Rgba lilac{0.573f, 0.573f, 0.718f, 1};
} // namespace colours

} // namespace pictures
