#include "params/sync_timeline.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Key times sit one millisecond after their rows.
constexpr float kKeyOffset = 0.001f;

// (1 - k) * from is formed in double, k * to in single precision; the sum is rounded once.
// The fixed ordering makes every track value bit-exact on every compiler and platform, and the
// double head keeps the start value exact while k is still tiny after a key.
float blend(float k, float from, float to) {
    double head = (1.0 - static_cast<double>(k)) * static_cast<double>(from);
    float tail = k * to;
    return static_cast<float>(head + static_cast<double>(tail));
}

// The current row is the product truncated toward zero and then compared as an unsigned
// number, so a negative time wraps to a huge row. Values outside the 32-bit range (and NaN)
// are clamped first, since converting them directly would be undefined.
std::uint32_t rowAt(float rate, float time) {
    float rowFloat = std::trunc(rate * time);
    if (!(rowFloat == rowFloat))
        return 0;
    if (rowFloat >= 2147483647.0f)
        return static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
    if (rowFloat <= -2147483648.0f)
        return static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::min());
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(rowFloat));
}

} // namespace

float SyncTimeline::rowRate() const {
    return static_cast<float>(rowsPerBeat) * bpm / 60.0f;
}

float SyncTimeline::evaluate(std::uint32_t trackIndex, float time) const {
    const float rate = rowRate();
    const std::uint32_t currentRow = rowAt(rate, time);
    const std::vector<SyncKey>& keys = tracks[trackIndex].keys;
    if (keys.empty())
        return 0.0f;

    const SyncKey* prev = nullptr;
    const SyncKey* next = nullptr;
    for (const SyncKey& key : keys) {
        if (key.row <= currentRow) {
            prev = &key;
        } else {
            next = &key;
            break;
        }
    }
    if (!prev)
        return 0.0f;

    const SyncKey* end = next ? next : prev;
    const float t0 = static_cast<float>(prev->row) / rate + kKeyOffset;
    const float t1 = static_cast<float>(end->row) / rate + kKeyOffset;
    const float c = t1 > t0 ? (time - t0) / (t1 - t0) : 0.0f;
    const float from = prev->value;
    const float to = end->value;

    switch (prev->interpolation) {
    case Linear:
        return blend(c, from, to);
    case Smooth:
        return blend((3.0f - (c + c)) * (c * c), from, to);
    case Quadratic:
        return blend(c * c, from, to);
    case Quartic:
        return blend((c * c) * (c * c), from, to);
    default:
        return from;
    }
}
