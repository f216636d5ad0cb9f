#include "canvas.h"

namespace pictures {

Canvas downsample(const Canvas& big, int factor) {
    Canvas small(big.width() / factor, big.height() / factor);
    const float n = static_cast<float>(factor * factor);
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            Rgba sum;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const Rgba& c = big.at(x * factor + i, y * factor + j);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            }
            Rgba& out = small.at(x, y);
            if (sum.a > 0.0f) {
                out = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / n};
            }
        }
    }
    return small;
}

Plane downsample(const Plane& big, int factor) {
    Plane small(big.width() / factor, big.height() / factor);
    const float n = static_cast<float>(factor * factor);
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            float sum = 0.0f;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    sum += big.at(x * factor + i, y * factor + j);
                }
            }
            small.at(x, y) = sum / n;
        }
    }
    return small;
}

} // namespace pictures
