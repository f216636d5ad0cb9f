#include "music/voice_grid.h"

#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUAVEL_GRID_AVX2 1
#endif

namespace {

constexpr int32_t kBinadeBottom = 1 << 23; // P of a position at a power of two
constexpr int32_t kBinadeTop = 1 << 24;    // P of the next power of two

} // namespace

bool gridRunOf(const PlayerChannel* channel, uint32_t limit, GridRun* run) {
    const ModuleSample* sample = channel->sample;
    const float position = channel->position;
    const float step = channel->step;
    if (!(position >= 1.0f && position < 8388608.0f) || !(step >= 0.0f && step < 8388608.0f)) {
        return false;
    }
    // A float from 1 up is normal: its mantissa with the hidden bit is P, and its exponent
    // gives the spacing.
    uint32_t bits = 0;
    std::memcpy(&bits, &position, sizeof bits);
    const int32_t exponent = static_cast<int32_t>(bits >> 23) - 127; // 0 .. 22
    const int32_t shift = 23 - exponent;
    const auto p = static_cast<int32_t>((bits & 0x7FFFFFu) | 0x800000u); // 2^23 <= P < 2^24
    const uint32_t unitBits = static_cast<uint32_t>(127 - shift) << 23;
    float unit = 0.0f;
    std::memcpy(&unit, &unitBits, sizeof unit);
    // The step in units, exact in double; a tie would round differently depending on P.
    const double units = static_cast<double>(step) * static_cast<double>(int32_t{1} << shift);
    if (!(units < static_cast<double>(kBinadeTop))) {
        return false;
    }
    const auto whole = static_cast<double>(static_cast<int32_t>(units));
    if (units - whole == 0.5) {
        return false;
    }
    const double rounded = units - whole < 0.5 ? whole : whole + 1.0;
    const auto m = static_cast<int32_t>(rounded);
    const bool backward = sample->loopType == PingPongLoop && !channel->pingForward;

    // Every position the run reaches stays strictly inside the binade, where the grid holds.
    // The divisions are skipped where the limit binds first.
    int64_t frames = limit;
    if (m > 0) {
        const int64_t span = backward ? p - kBinadeBottom - 1 : kBinadeTop - 1 - p;
        if (span < int64_t{limit} * m) {
            frames = span < 0 ? 0 : static_cast<uint32_t>(span) / static_cast<uint32_t>(m);
        }
    }
    // Each read takes four bytes at the value's index: the last readable index leaves three
    // bytes (8-bit) or one value (16-bit) after it.
    const int64_t lastIndex = static_cast<int64_t>(sample->length) - (sample->bits == 16 ? 2 : 4);
    if (lastIndex < 0) {
        return false;
    }
    const int64_t lastP = ((lastIndex + 1) << shift) - 1; // the largest P reading at most it
    if (p > lastP) {
        return false;
    }
    if (!backward && m > 0 && frames > 0 && lastP - p < (frames - 1) * m) {
        // Frames whose reads stay in the data.
        frames = static_cast<uint32_t>(lastP - p) / static_cast<uint32_t>(m) + 1;
    }
    run->position = p;
    run->delta = backward ? -m : m;
    run->shift = shift;
    run->unit = unit;
    run->frames = frames < static_cast<int64_t>(limit) ? static_cast<uint32_t>(frames) : limit;
    return true;
}

#ifdef QUAVEL_GRID_AVX2

namespace {

// One voice's state for the vector loop: eight consecutive grid positions and the shifts
// that turn them into byte offsets and sign-extended values.
struct VectorLane {
    const int* data;
    __m256i position;
    __m256i advance; // eight frames' worth
    __m128i shift;
    __m128i byteShift; // 1 for 16-bit data, 0 for 8-bit
    __m128i signShift; // 16 for 16-bit data, 24 for 8-bit
    __m256 volume;     // left, right, left, right, ...
};

template <int N>
__attribute__((target("avx2"))) void gridKernel(const VectorLane* lanes, float* out,
                                                uint32_t blocks) {
    __m256i position[N];
    for (int k = 0; k < N; ++k) {
        position[k] = lanes[k].position;
    }
    for (uint32_t b = 0; b < blocks; ++b) {
        float* frames = out + 16 * static_cast<size_t>(b);
        __m256 first = _mm256_loadu_ps(frames);      // frames 0..3
        __m256 second = _mm256_loadu_ps(frames + 8); // frames 4..7
        for (int k = 0; k < N; ++k) {
            const VectorLane& lane = lanes[k];
            const __m256i index = _mm256_srl_epi32(position[k], lane.shift);
            const __m256i offset = _mm256_sll_epi32(index, lane.byteShift);
            __m256i raw = _mm256_i32gather_epi32(lane.data, offset, 1);
            raw = _mm256_sra_epi32(_mm256_sll_epi32(raw, lane.signShift), lane.signShift);
            const __m256 value = _mm256_cvtepi32_ps(raw);
            const __m256 low = _mm256_unpacklo_ps(value, value);  // 0 0 1 1 | 4 4 5 5
            const __m256 high = _mm256_unpackhi_ps(value, value); // 2 2 3 3 | 6 6 7 7
            // Voices are added in channel order, frame by frame, as the serial mixing does.
            first = _mm256_add_ps(
                first, _mm256_mul_ps(_mm256_permute2f128_ps(low, high, 0x20), lane.volume));
            second = _mm256_add_ps(
                second, _mm256_mul_ps(_mm256_permute2f128_ps(low, high, 0x31), lane.volume));
            position[k] = _mm256_add_epi32(position[k], lane.advance);
        }
        _mm256_storeu_ps(frames, first);
        _mm256_storeu_ps(frames + 8, second);
    }
}

__attribute__((target("avx2"))) VectorLane vectorLane(const PlayerChannel* c, const GridRun& run) {
    const bool wide = c->sample->bits == 16;
    // (d / 128) x volume rounds the same real number as d x (volume / 128): the scale is a
    // power of two and the steady test keeps volume / 128 exact.
    const float scale = wide ? 1.0f / 32768.0f : 1.0f / 128.0f;
    const float left = c->actualVolume[0] * scale;
    const float right = c->actualVolume[1] * scale;
    const int32_t p = run.position;
    const int32_t d = run.delta;
    VectorLane lane;
    lane.data = static_cast<const int*>(c->sample->data);
    lane.position = _mm256_setr_epi32(p, p + d, p + 2 * d, p + 3 * d, p + 4 * d, p + 5 * d,
                                      p + 6 * d, p + 7 * d);
    lane.advance = _mm256_set1_epi32(8 * d);
    lane.shift = _mm_cvtsi32_si128(run.shift);
    lane.byteShift = _mm_cvtsi32_si128(wide ? 1 : 0);
    lane.signShift = _mm_cvtsi32_si128(wide ? 16 : 24);
    lane.volume = _mm256_setr_ps(left, right, left, right, left, right, left, right);
    return lane;
}

} // namespace

bool gridKernelAvailable() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

__attribute__((target("avx2"))) void mixOnGrid(PlayerChannel* const* voices, const GridRun* runs,
                                               int count, float* out, uint32_t blocks) {
    VectorLane lanes[4];
    for (int k = 0; k < count; ++k) {
        lanes[k] = vectorLane(voices[k], runs[k]);
    }
    switch (count) {
    case 1:
        gridKernel<1>(lanes, out, blocks);
        break;
    case 2:
        gridKernel<2>(lanes, out, blocks);
        break;
    case 3:
        gridKernel<3>(lanes, out, blocks);
        break;
    default:
        gridKernel<4>(lanes, out, blocks);
        break;
    }
    // Leaves the upper register halves clean for the plain code that runs next.
    _mm256_zeroupper();
    const int32_t frames = static_cast<int32_t>(8 * blocks);
    for (int k = 0; k < count; ++k) {
        // The end position is again on the grid and inside the binade: exact as a float.
        const int32_t end = runs[k].position + frames * runs[k].delta;
        voices[k]->position = static_cast<float>(end) * runs[k].unit;
        voices[k]->rampFrame += static_cast<uint32_t>(frames);
    }
}

#else

bool gridKernelAvailable() {
    return false;
}

void mixOnGrid(PlayerChannel* const*, const GridRun*, int, float*, uint32_t) {}

#endif
