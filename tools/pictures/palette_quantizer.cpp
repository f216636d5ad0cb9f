#include "palette_quantizer.h"

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>

namespace pictures {
namespace {

struct Counted {
    std::array<int, 4> c; // r, g, b, a
    long count;
};

std::uint32_t pack(const PaletteEntry& e) {
    return (std::uint32_t(e.r) << 24) | (std::uint32_t(e.g) << 16) | (std::uint32_t(e.b) << 8) |
           e.a;
}

PaletteEntry unpack(std::uint32_t v) {
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

struct Box {
    std::vector<Counted> colours;
    int widestChannel() const {
        int best = 0, bestRange = -1;
        for (int ch = 0; ch < 4; ++ch) {
            auto [lo, hi] = std::minmax_element(
                colours.begin(), colours.end(),
                [ch](const Counted& a, const Counted& b) { return a.c[ch] < b.c[ch]; });
            int range = hi->c[ch] - lo->c[ch];
            if (range > bestRange) {
                bestRange = range;
                best = ch;
            }
        }
        return best;
    }
    int range(int ch) const {
        auto [lo, hi] = std::minmax_element(
            colours.begin(), colours.end(),
            [ch](const Counted& a, const Counted& b) { return a.c[ch] < b.c[ch]; });
        return hi->c[ch] - lo->c[ch];
    }
    PaletteEntry mean() const {
        double sum[4] = {0, 0, 0, 0};
        double n = 0;
        for (const Counted& k : colours) {
            for (int ch = 0; ch < 4; ++ch) {
                sum[ch] += double(k.c[ch]) * double(k.count);
            }
            n += double(k.count);
        }
        auto avg = [&](int ch) { return std::uint8_t(sum[ch] / n + 0.5); };
        // Boxes hold only visible colours; keep their mean visible too.
        return {avg(0), avg(1), avg(2), std::max<std::uint8_t>(1, avg(3))};
    }
};

std::vector<PaletteEntry> medianCut(std::vector<Counted> colours, int maxColours) {
    std::vector<Box> boxes{Box{std::move(colours)}};
    while (static_cast<int>(boxes.size()) < maxColours) {
        int pick = -1, pickRange = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) {
                continue;
            }
            int r = boxes[i].range(boxes[i].widestChannel());
            if (r > pickRange) {
                pickRange = r;
                pick = static_cast<int>(i);
            }
        }
        if (pick < 0) {
            break;
        }
        Box& box = boxes[static_cast<std::size_t>(pick)];
        int ch = box.widestChannel();
        std::stable_sort(box.colours.begin(), box.colours.end(),
                         [ch](const Counted& a, const Counted& b) { return a.c[ch] < b.c[ch]; });
        long total = 0;
        for (const Counted& k : box.colours) {
            total += k.count;
        }
        long acc = 0;
        std::size_t split = 1;
        for (std::size_t i = 0; i + 1 < box.colours.size(); ++i) {
            acc += box.colours[i].count;
            split = i + 1;
            if (acc * 2 >= total) {
                break;
            }
        }
        Box upper{std::vector<Counted>(box.colours.begin() + static_cast<long>(split),
                                       box.colours.end())};
        box.colours.resize(split);
        boxes.push_back(std::move(upper));
    }
    std::vector<PaletteEntry> palette;
    for (const Box& b : boxes) {
        palette.push_back(b.mean());
    }
    return palette;
}

int distance(const PaletteEntry& a, const PaletteEntry& b) {
    auto d = [](int x, int y) { return (x - y) * (x - y); };
    // Alpha differences weigh more: a wrong alpha shows over every background.
    return d(a.r, b.r) + d(a.g, b.g) + d(a.b, b.b) + 3 * d(a.a, b.a);
}

} // namespace

PaletteEntry toEntry(const Rgba& c) {
    PaletteEntry e{toByte(c.r), toByte(c.g), toByte(c.b), toByte(c.a)};
    if (e.a == 0) {
        e = {0, 0, 0, 0};
    }
    return e;
}

IndexedPicture quantize(const Canvas& canvas, int maxColours) {
    std::map<std::uint32_t, long> histogram;
    bool anyTransparent = false;
    for (const Rgba& c : canvas.cells()) {
        PaletteEntry e = toEntry(c);
        if (e.a == 0) {
            anyTransparent = true;
            continue;
        }
        ++histogram[pack(e)];
    }
    int budget = maxColours - (anyTransparent ? 1 : 0);
    std::vector<PaletteEntry> palette;
    if (static_cast<int>(histogram.size()) <= budget) {
        for (const auto& [key, count] : histogram) {
            palette.push_back(unpack(key));
        }
    } else {
        std::vector<Counted> colours;
        for (const auto& [key, count] : histogram) {
            PaletteEntry e = unpack(key);
            colours.push_back({{e.r, e.g, e.b, e.a}, count});
        }
        palette = medianCut(std::move(colours), budget);
    }
    if (anyTransparent) {
        palette.push_back({0, 0, 0, 0});
    }
    std::stable_sort(palette.begin(), palette.end(),
                     [](const PaletteEntry& a, const PaletteEntry& b) {
                         return a.a != b.a ? a.a < b.a : pack(a) < pack(b);
                     });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());

    std::map<std::uint32_t, std::uint8_t> nearest;
    IndexedPicture out{canvas.width(), canvas.height(), palette, {}};
    out.indices.reserve(canvas.cells().size());
    for (const Rgba& c : canvas.cells()) {
        PaletteEntry e = toEntry(c);
        auto [it, fresh] = nearest.try_emplace(pack(e), 0);
        if (fresh) {
            int best = -1, bestDistance = 0;
            for (std::size_t i = 0; i < palette.size(); ++i) {
                // Only exact transparency may map to a fully transparent entry.
                if ((e.a == 0) != (palette[i].a == 0)) {
                    continue;
                }
                int d = distance(e, palette[i]);
                if (best < 0 || d < bestDistance) {
                    bestDistance = d;
                    best = static_cast<int>(i);
                }
            }
            it->second = static_cast<std::uint8_t>(best);
        }
        out.indices.push_back(it->second);
    }
    if (palette.size() > 256) {
        throw std::logic_error("palette overflow");
    }
    return out;
}

} // namespace pictures
