#include "soundtrack_render.h"

#include "music/module_player.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace soundtrack {
namespace {

bool steersTheSong(const PatternCell& c) {
    const int x = c.effectParam >> 4;
    return c.effectType == 0x0B || c.effectType == 0x0D || c.effectType == 0x0F ||
           c.effectType == 0x10 || c.effectType == 0x11 ||
           (c.effectType == 0x0E && (x == 0x6 || x == 0xE));
}

void keepOnly(ModulePlayer* p, uint32_t keepChannels) {
    for (int i = 0; i < p->patternCount; ++i) {
        ModulePattern& pattern = p->patterns[i];
        for (int row = 0; row < pattern.rowCount; ++row)
            for (int ch = 0; ch < p->channelCount; ++ch) {
                if (keepChannels & (1u << ch))
                    continue;
                PatternCell& c = pattern.cells[row * p->channelCount + ch];
                const PatternCell steering = c;
                c = PatternCell{};
                if (steersTheSong(steering)) {
                    c.effectType = steering.effectType;
                    c.effectParam = steering.effectParam;
                }
            }
    }
}

// An onset is a hop where the next ~4.5 ms are much louder than the ~10 ms before: the short
// window pins the rise down to a few milliseconds.
constexpr int kAfterHops = 9;
constexpr int kBeforeHops = 20;

long hopAt(double seconds) {
    return long(std::floor(seconds * kSampleRate / kHopFrames));
}

double hopSum(const Rendering& r, long first, int hops) {
    double sum = 0;
    for (long h = first; h < first + hops; ++h)
        if (h >= 0 && h < long(r.hopEnergy.size()))
            sum += r.hopEnergy[size_t(h)];
    return sum;
}

} // namespace

std::vector<uint8_t> committedModule() {
    std::ifstream in(QUAVEL_SOUNDTRACK_PATH, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " QUAVEL_SOUNDTRACK_PATH);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

Rendering render(const std::vector<uint8_t>& module, uint32_t keepChannels) {
    ModulePlayer* p = nullptr;
    if (createModulePlayer(&p, module.data(), module.size(), uint32_t(kSampleRate)) != kPlayerOk)
        throw std::runtime_error("the module does not load");
    keepOnly(p, keepChannels);
    setLoopLimit(p, 1);

    Rendering r;
    std::vector<float> block(kHopFrames * 2);
    for (;;) {
        const uint32_t n = generateSamplesUntilSilenced(p, block.data(), kHopFrames);
        float energy = 0;
        for (uint32_t i = 0; i < n; ++i) {
            const float mono = 0.5f * (block[2 * i] + block[2 * i + 1]);
            energy += mono * mono;
            r.peak =
                std::fmax(r.peak, std::fmax(std::fabs(block[2 * i]), std::fabs(block[2 * i + 1])));
        }
        r.hopEnergy.push_back(energy);
        r.audibleFrames += n;
        if (n < uint32_t(kHopFrames) || r.audibleFrames > uint64_t(kSampleRate) * 400)
            break;
    }
    std::vector<float> after(size_t(kSampleRate) * 2 * 2);
    generateSamples(p, after.data(), uint32_t(after.size() / 2));
    r.silentAfterLimit = loopLimitSilences(p);
    for (float v : after)
        r.silentAfterLimit = r.silentAfterLimit && v == 0.0f;
    destroyModulePlayer(p);
    return r;
}

bool hasOnsetNear(const Rendering& r, double seconds, double toleranceSeconds, double ratio) {
    const auto meanSquare = [&](long first, int hops) {
        return hopSum(r, first, hops) / (hops * kHopFrames);
    };
    constexpr double kAudible = 1e-4; // -40 dB
    for (long h = hopAt(seconds - toleranceSeconds); h <= hopAt(seconds + toleranceSeconds); ++h) {
        const double after = meanSquare(h, kAfterHops);
        if (after >= kAudible && after >= ratio * meanSquare(h - kBeforeHops, kBeforeHops))
            return true;
    }
    return false;
}

double riseNear(const Rendering& r, double seconds) {
    constexpr int kWindowHops = 10; // 220 frames: 5 ms
    constexpr double kSpan = 0.010;
    double best = -1e9;
    for (long h = hopAt(seconds - kSpan); h <= hopAt(seconds + kSpan); ++h) {
        double before = 0;
        for (long b = h - 2 * kWindowHops; b <= h - kWindowHops; ++b)
            before = std::fmax(before, hopSum(r, b, kWindowHops));
        const double after = hopSum(r, h, kWindowHops);
        if (after < 1e-5 * kWindowHops * kHopFrames)
            continue; // below -50 dB: no hit at all
        // Silence before a hit counts as a rise of 60 dB.
        const double rise =
            10 * std::log10(std::fmax(after, 1e-30) / std::fmax(before, after * 1e-6));
        best = std::fmax(best, rise);
    }
    return best;
}

} // namespace soundtrack
