#include "music/voice_grid.h"

#include <array>
#include <cstring>
#include <utility>

#if defined(__GNUC__) && defined(__x86_64__) && !defined(QUAVEL_NO_AVX2)
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
    // The step in units, rounded to the nearest whole unit; a tie would round differently
    // depending on P. The step is mantissa x 2^e2, so in units it is mantissa x 2^(e2 + shift).
    uint32_t stepBits = 0;
    std::memcpy(&stepBits, &step, sizeof stepBits);
    const uint32_t stepField = stepBits >> 23; // the sign is 0: the step is not negative
    const uint32_t mantissa = (stepBits & 0x7FFFFFu) | (stepField != 0 ? 0x800000u : 0u);
    const int32_t scale = (stepField != 0 ? static_cast<int32_t>(stepField) : 1) - 150 + shift;
    int32_t m = 0;
    if (scale >= 0) {
        // Whole units already; the step is below 2^23 and the spacing at least 2^-23.
        if (scale > 7 || (uint64_t{mantissa} << scale) >= static_cast<uint64_t>(kBinadeTop)) {
            return false;
        }
        m = static_cast<int32_t>(mantissa << scale);
    } else if (scale > -25) {
        const int32_t drop = -scale;
        const uint32_t whole = mantissa >> drop;
        const uint32_t rest = mantissa & ((1u << drop) - 1u);
        const uint32_t half = 1u << (drop - 1);
        if (rest == half) {
            return false;
        }
        m = static_cast<int32_t>(whole + (rest > half ? 1u : 0u));
    }
    // Below that the step is under half a unit (the mantissa is below 2^24): it rounds to 0.
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

// One voice's state for the vector loop: eight grid positions, one per frame of a block, and
// the shift that turns them into sample indices.
struct VectorLane {
    const void* data;
    __m256i position;
    __m256i advance; // eight frames' worth
    __m128i shift;
    __m256 left;
    __m256 right;
};

// The frames of a block in the order the left (or right) values of two blocks of four
// interleaved frames come out of one in-lane shuffle: the sums are kept per side in this
// order, so each voice's values need no reordering before they are added.
constexpr int32_t kFrameOrder[8] = {0, 1, 4, 5, 2, 3, 6, 7};

// The eight values of one voice at the given positions, as floats (not yet scaled). Each read
// takes four bytes at the value's address; the shifts keep its low byte or low half, signed.
template <bool Wide>
__attribute__((target("avx2"), always_inline)) inline __m256 laneValues(const VectorLane& lane,
                                                                        __m256i position) {
    const __m256i index = _mm256_srl_epi32(position, lane.shift);
    const auto* base = static_cast<const int*>(lane.data);
    __m256i raw =
        Wide ? _mm256_i32gather_epi32(base, index, 2) : _mm256_i32gather_epi32(base, index, 1);
    raw = Wide ? _mm256_srai_epi32(_mm256_slli_epi32(raw, 16), 16)
               : _mm256_srai_epi32(_mm256_slli_epi32(raw, 24), 24);
    return _mm256_cvtepi32_ps(raw);
}

// The same values for a forward run of less than one sample per frame: the eight reads lie
// among the eight values from frame 0's index (the lowest) on, which are loaded at once and
// picked by their distance from it.
template <bool Wide>
__attribute__((target("avx2"), always_inline)) inline __m256 nearValues(const VectorLane& lane,
                                                                        __m256i position) {
    const __m256i index = _mm256_srl_epi32(position, lane.shift);
    const int32_t base = _mm_cvtsi128_si32(_mm256_castsi256_si128(index));
    const __m256i distance = _mm256_sub_epi32(index, _mm256_set1_epi32(base));
    const __m256i values =
        Wide ? _mm256_cvtepi16_epi32(_mm_loadu_si128(
                   reinterpret_cast<const __m128i*>(static_cast<const int16_t*>(lane.data) + base)))
             : _mm256_cvtepi8_epi32(_mm_loadl_epi64(
                   reinterpret_cast<const __m128i*>(static_cast<const int8_t*>(lane.data) + base)));
    return _mm256_cvtepi32_ps(_mm256_permutevar8x32_epi32(values, distance));
}

// One voice's eight values added to the left and right sums; its positions move on.
template <bool Wide, bool Near>
__attribute__((target("avx2"), always_inline)) inline void
addVoice(const VectorLane& lane, __m256i* position, __m256* left, __m256* right) {
    const __m256 value =
        Near ? nearValues<Wide>(lane, *position) : laneValues<Wide>(lane, *position);
    *left = _mm256_add_ps(*left, _mm256_mul_ps(value, lane.left));
    *right = _mm256_add_ps(*right, _mm256_mul_ps(value, lane.right));
    *position = _mm256_add_epi32(*position, lane.advance);
}

template <bool Near, unsigned WideMask, size_t... K>
__attribute__((target("avx2"))) void gridKernel(const VectorLane* lanes, float* out,
                                                uint32_t blocks, GroupStore store,
                                                std::index_sequence<K...>) {
    __m256i position[] = {lanes[K].position...};
    const __m256 g = _mm256_set1_ps(store.gain);
    for (uint32_t b = 0; b < blocks; ++b) {
        float* frames = out + 16 * static_cast<size_t>(b);
        // Frames 0..3 and 4..7, left and right.
        const __m256 first = store.fresh ? _mm256_setzero_ps() : _mm256_loadu_ps(frames);
        const __m256 second = store.fresh ? _mm256_setzero_ps() : _mm256_loadu_ps(frames + 8);
        // Left and right sums of frames 0 1 4 5 | 2 3 6 7.
        __m256 left = _mm256_shuffle_ps(first, second, 0x88);
        __m256 right = _mm256_shuffle_ps(first, second, 0xDD);
        // Voices are added in channel order, frame by frame, as the serial mixing does.
        (addVoice<((WideMask >> K) & 1u) != 0, Near>(lanes[K], &position[K], &left, &right), ...);
        _mm256_storeu_ps(frames, _mm256_mul_ps(_mm256_unpacklo_ps(left, right), g));
        _mm256_storeu_ps(frames + 8, _mm256_mul_ps(_mm256_unpackhi_ps(left, right), g));
    }
}

using GridKernel = void (*)(const VectorLane*, float*, uint32_t, GroupStore);

template <int N, bool Near, unsigned WideMask>
__attribute__((target("avx2"))) void gridKernelFor(const VectorLane* lanes, float* out,
                                                   uint32_t blocks, GroupStore store) {
    gridKernel<Near, WideMask>(lanes, out, blocks, store, std::make_index_sequence<N>());
}

// Kernels for N voices, indexed by which of them have 16-bit data; the first half gathers, the
// second reads runs of neighbouring values.
template <int N, unsigned... Mask>
constexpr std::array<GridKernel, 2 * sizeof...(Mask)>
gridKernelsFor(std::integer_sequence<unsigned, Mask...>) {
    return {&gridKernelFor<N, false, Mask>..., &gridKernelFor<N, true, Mask>...};
}

const std::array<GridKernel, 4> kOneGridVoice =
    gridKernelsFor<1>(std::make_integer_sequence<unsigned, 2>());
const std::array<GridKernel, 8> kTwoGridVoices =
    gridKernelsFor<2>(std::make_integer_sequence<unsigned, 4>());
const std::array<GridKernel, 16> kThreeGridVoices =
    gridKernelsFor<3>(std::make_integer_sequence<unsigned, 8>());
const std::array<GridKernel, 32> kFourGridVoices =
    gridKernelsFor<4>(std::make_integer_sequence<unsigned, 16>());

GridKernel gridKernelOf(int count, unsigned wideMask, bool near) {
    const unsigned half = 1u << count;
    const unsigned slot = near ? half + wideMask : wideMask;
    switch (count) {
    case 1:
        return kOneGridVoice[slot];
    case 2:
        return kTwoGridVoices[slot];
    case 3:
        return kThreeGridVoices[slot];
    default:
        return kFourGridVoices[slot];
    }
}

// True when every block of the run reads, per voice, among eight neighbouring values that all
// lie inside the sample: a forward step below one sample (so frames 0..7 of a block span at
// most eight indices), and eight values from the last block's first index on.
bool readsNearby(PlayerChannel* const* voices, const GridRun* runs, int count, uint32_t blocks) {
    for (int k = 0; k < count; ++k) {
        const GridRun& run = runs[k];
        if (run.delta < 0 || run.delta >= (int32_t{1} << run.shift)) {
            return false;
        }
        const int64_t lastFirst =
            int64_t{run.position} + 8 * int64_t{run.delta} * (int64_t{blocks} - 1);
        if ((lastFirst >> run.shift) + 8 > int64_t{voices[k]->sample->length}) {
            return false;
        }
    }
    return true;
}

__attribute__((target("avx2"))) VectorLane vectorLane(const PlayerChannel* c, const GridRun& run) {
    // (d / 128) x volume rounds the same real number as d x (volume / 128): the scale is a
    // power of two and the steady test keeps volume / 128 exact.
    const float scale = c->sample->bits == 16 ? 1.0f / 32768.0f : 1.0f / 128.0f;
    VectorLane lane;
    lane.data = c->sample->data;
    const __m256i order = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kFrameOrder));
    lane.position = _mm256_add_epi32(_mm256_set1_epi32(run.position),
                                     _mm256_mullo_epi32(order, _mm256_set1_epi32(run.delta)));
    lane.advance = _mm256_set1_epi32(8 * run.delta);
    lane.shift = _mm_cvtsi32_si128(run.shift);
    lane.left = _mm256_set1_ps(c->actualVolume[0] * scale);
    lane.right = _mm256_set1_ps(c->actualVolume[1] * scale);
    return lane;
}

} // namespace

bool gridKernelAvailable() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

__attribute__((target("avx2"))) void mixOnGrid(PlayerChannel* const* voices, const GridRun* runs,
                                               int count, float* out, uint32_t blocks,
                                               GroupStore store) {
    VectorLane lanes[4];
    for (int k = 0; k < count; ++k) {
        lanes[k] = vectorLane(voices[k], runs[k]);
    }
    unsigned wideMask = 0;
    for (int k = 0; k < count; ++k) {
        wideMask |= (voices[k]->sample->bits == 16 ? 1u : 0u) << k;
    }
    gridKernelOf(count, wideMask, readsNearby(voices, runs, count, blocks))(lanes, out, blocks,
                                                                            store);
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

void mixOnGrid(PlayerChannel* const*, const GridRun*, int, float*, uint32_t, GroupStore) {}

#endif
