#include "music/voice_vector_kernel.h"

#include <array>
#include <cstdint>
#include <utility>

#if defined(__GNUC__) && defined(__x86_64__) && !defined(QUAVEL_NO_AVX2)
#include <immintrin.h>
#define QUAVEL_VECTOR_AVX2 1
#endif

#ifdef QUAVEL_VECTOR_AVX2

namespace {

// One voice's state for the vector loop: the positions of the eight frames of a block, four
// in each of two registers of 64-bit lanes, and what moves them on to the next block.
struct VectorLane {
    const void* data;
    __m256i even;    // frames 0, 4, 2, 6 of the block
    __m256i odd;     // frames 1, 5, 3, 7
    __m256i advance; // eight steps (negative in a ping-pong loop's backward run); in a
                     // wrapping loop, eight steps modulo the loop length
    __m256i last;    // a position above it has `wrap` subtracted (INT64_MAX: never)
    __m256i wrap;    // the loop length, or 0
    __m256 left;
    __m256 right;
    int read;          // how the values are read: kGather, kNear or kTable
    __m256i tableBase; // with kTable: the sample index of table entry 0
    __m256 table[4];   // with kTable: the values of a short loop, eight per register
};

// Ways of reading a voice's values: a gather per block; one load of eight neighbouring values
// (a forward run of less than a sample per frame, see readsNearby); or a lookup in registers
// holding the whole of a short wrapping loop (see tableOf), which is far cheaper than a gather.
enum : int { kGather = 0, kNear = 1, kTable = 2 };

// Loops up to this many values are read from registers.
constexpr uint32_t kTableValues = 32;

// A block's frames are kept in the order 0 1 4 5 2 3 6 7: the order in which the left (or
// right) values of two blocks of four interleaved frames come out of one in-lane shuffle, so
// each voice's values need no reordering before they are added.

// The sample indices of a block's eight frames, in that order: the whole frames are the upper
// halves of the 64-bit positions (below 2^31: samples are far shorter).
__attribute__((target("avx2"), always_inline)) inline __m256i laneIndices(__m256i even,
                                                                          __m256i odd) {
    return _mm256_blend_epi32(_mm256_srli_epi64(even, kPositionFractionBits), odd, 0xAA);
}

// The eight values of one voice at the given indices, as floats (not yet scaled). Each read
// takes four bytes at the value's address; the shifts keep its low byte or low half, signed.
template <bool Wide>
__attribute__((target("avx2"), always_inline)) inline __m256 laneValues(const VectorLane& lane,
                                                                        __m256i index) {
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
                                                                        __m256i index) {
    const int32_t base = _mm_cvtsi128_si32(_mm256_castsi256_si128(index));
    const __m256i distance = _mm256_sub_epi32(index, _mm256_set1_epi32(base));
    const __m256i values =
        Wide ? _mm256_cvtepi16_epi32(_mm_loadu_si128(
                   reinterpret_cast<const __m128i*>(static_cast<const int16_t*>(lane.data) + base)))
             : _mm256_cvtepi8_epi32(_mm_loadl_epi64(
                   reinterpret_cast<const __m128i*>(static_cast<const int8_t*>(lane.data) + base)));
    return _mm256_cvtepi32_ps(_mm256_permutevar8x32_epi32(values, distance));
}

// The same values from a voice's loop table: each register's entries picked by the index's low
// three bits, then the register chosen by bits 3 and 4 (blends take the sign bit).
__attribute__((target("avx2"), always_inline)) inline __m256 tableValues(const VectorLane& lane,
                                                                         __m256i index) {
    const __m256i entry = _mm256_sub_epi32(index, lane.tableBase);
    const __m256 bit3 = _mm256_castsi256_ps(_mm256_slli_epi32(entry, 28));
    const __m256 bit4 = _mm256_castsi256_ps(_mm256_slli_epi32(entry, 27));
    const __m256 low = _mm256_blendv_ps(_mm256_permutevar8x32_ps(lane.table[0], entry),
                                        _mm256_permutevar8x32_ps(lane.table[1], entry), bit3);
    const __m256 high = _mm256_blendv_ps(_mm256_permutevar8x32_ps(lane.table[2], entry),
                                         _mm256_permutevar8x32_ps(lane.table[3], entry), bit3);
    return _mm256_blendv_ps(low, high, bit4);
}

// The positions of one register after a block: the advance, and with Wrap, the loop length
// taken off a position past the loop's last one (lanes that do not wrap subtract 0).
template <bool Wrap>
__attribute__((target("avx2"), always_inline)) inline __m256i nextBlock(const VectorLane& lane,
                                                                        __m256i position) {
    position = _mm256_add_epi64(position, lane.advance);
    if (Wrap) {
        position = _mm256_sub_epi64(
            position, _mm256_and_si256(_mm256_cmpgt_epi64(position, lane.last), lane.wrap));
    }
    return position;
}

// One voice's eight values added to the left and right sums; its positions move on. (The
// branch on the way of reading goes the same way for the whole run.)
template <bool Wide, bool Wrap>
__attribute__((target("avx2"), always_inline)) inline void
addVoice(const VectorLane& lane, __m256i* even, __m256i* odd, __m256* left, __m256* right) {
    const __m256i index = laneIndices(*even, *odd);
    const __m256 value = lane.read == kTable  ? tableValues(lane, index)
                         : lane.read == kNear ? nearValues<Wide>(lane, index)
                                              : laneValues<Wide>(lane, index);
    *left = _mm256_add_ps(*left, _mm256_mul_ps(value, lane.left));
    *right = _mm256_add_ps(*right, _mm256_mul_ps(value, lane.right));
    *even = nextBlock<Wrap>(lane, *even);
    *odd = nextBlock<Wrap>(lane, *odd);
}

template <bool Wrap, unsigned WideMask, size_t... K>
__attribute__((target("avx2"))) void vectorKernel(VectorLane* lanes, float* out, uint32_t blocks,
                                                  GroupStore store, std::index_sequence<K...>) {
    __m256i even[] = {lanes[K].even...};
    __m256i odd[] = {lanes[K].odd...};
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
        (addVoice<((WideMask >> K) & 1u) != 0, Wrap>(lanes[K], &even[K], &odd[K], &left, &right),
         ...);
        _mm256_storeu_ps(frames, _mm256_mul_ps(_mm256_unpacklo_ps(left, right), g));
        _mm256_storeu_ps(frames + 8, _mm256_mul_ps(_mm256_unpackhi_ps(left, right), g));
    }
    ((lanes[K].even = even[K]), ...);
}

using VectorKernel = void (*)(VectorLane*, float*, uint32_t, GroupStore);

template <int N, bool Wrap, unsigned WideMask>
__attribute__((target("avx2"))) void vectorKernelFor(VectorLane* lanes, float* out, uint32_t blocks,
                                                     GroupStore store) {
    vectorKernel<Wrap, WideMask>(lanes, out, blocks, store, std::make_index_sequence<N>());
}

// Kernels for N voices, indexed by whether any voice wraps and then by which of the voices
// have 16-bit data.
template <int N, unsigned... Mask>
constexpr std::array<VectorKernel, 2 * sizeof...(Mask)>
vectorKernelsFor(std::integer_sequence<unsigned, Mask...>) {
    return {&vectorKernelFor<N, false, Mask>..., &vectorKernelFor<N, true, Mask>...};
}

const std::array<VectorKernel, 4> kOneVoice =
    vectorKernelsFor<1>(std::make_integer_sequence<unsigned, 2>());
const std::array<VectorKernel, 8> kTwoVoices =
    vectorKernelsFor<2>(std::make_integer_sequence<unsigned, 4>());
const std::array<VectorKernel, 16> kThreeVoices =
    vectorKernelsFor<3>(std::make_integer_sequence<unsigned, 8>());
const std::array<VectorKernel, 32> kFourVoices =
    vectorKernelsFor<4>(std::make_integer_sequence<unsigned, 16>());

VectorKernel vectorKernelOf(int count, unsigned wideMask, bool wrap) {
    const unsigned slot = (wrap ? 1u << count : 0u) + wideMask;
    switch (count) {
    case 1:
        return kOneVoice[slot];
    case 2:
        return kTwoVoices[slot];
    case 3:
        return kThreeVoices[slot];
    default:
        return kFourVoices[slot];
    }
}

// True when every block of a voice's run reads among eight neighbouring values that all lie
// inside the sample: a forward step below one sample without wraps (so frames 0..7 of a block
// span at most eight indices), and eight values from the last block's first index on.
bool readsNearby(const PlayerChannel* c, bool wraps, uint32_t blocks) {
    const bool backward = c->sample->loopType == PingPongLoop && !c->pingForward;
    if (wraps || backward || c->step >= kOneFrame) {
        return false;
    }
    const SamplePosition lastFirst = c->position + 8 * c->step * (int64_t{blocks} - 1);
    return int64_t{positionFrame(lastFirst)} + 8 <= int64_t{c->sample->length};
}

__attribute__((target("avx2"))) VectorLane vectorLane(const PlayerChannel* c, bool wraps,
                                                      uint32_t blocks) {
    // (d / 128) x volume rounds the same real number as d x (volume / 128): the scale is a
    // power of two and the steady test keeps volume / 128 exact.
    const ModuleSample* s = c->sample;
    const float scale = s->bits == 16 ? 1.0f / 32768.0f : 1.0f / 128.0f;
    const bool backward = s->loopType == PingPongLoop && !c->pingForward;
    int64_t advance = backward ? -c->step : c->step;
    int64_t last = INT64_MAX;
    int64_t wrap = 0;
    if (wraps) {
        // Inside the loop, one step of (step mod length) and at most one subtraction of the
        // length move a position exactly as the repeated subtractions would.
        wrap = framePosition(s->loopLength);
        last = framePosition(s->loopEnd) - 1;
        advance %= wrap;
    }
    // Frames 0..7 of the first block, one step after another.
    int64_t at[8];
    at[0] = c->position;
    for (int j = 1; j < 8; ++j) {
        at[j] = at[j - 1] + advance;
        at[j] -= at[j] > last ? wrap : 0;
    }
    // Eight steps: in a wrapping loop, eight times the reduced step reduced again (the loop is
    // below 2^28 frames, so eight reduced steps stay far inside 64 bits).
    const int64_t eight = wraps ? static_cast<int64_t>(static_cast<uint64_t>(advance) * 8u %
                                                       static_cast<uint64_t>(wrap))
                                : 8 * advance;
    VectorLane lane;
    lane.data = s->data;
    lane.even = _mm256_setr_epi64x(at[0], at[4], at[2], at[6]);
    lane.odd = _mm256_setr_epi64x(at[1], at[5], at[3], at[7]);
    lane.advance = _mm256_set1_epi64x(eight);
    lane.last = _mm256_set1_epi64x(last);
    lane.wrap = _mm256_set1_epi64x(wrap);
    lane.left = _mm256_set1_ps(c->actualVolume[0] * scale);
    lane.right = _mm256_set1_ps(c->actualVolume[1] * scale);
    lane.read = readsNearby(c, wraps, blocks) ? kNear : kGather;
    if (wraps && s->loopLength <= kTableValues) {
        // The loop's values, as the reads convert them; entries past the loop stay unread.
        const uint32_t first = s->loopEnd - s->loopLength;
        alignas(32) float values[kTableValues] = {};
        for (uint32_t j = 0; j < s->loopLength; ++j) {
            values[j] = s->bits == 16
                            ? static_cast<float>(static_cast<const int16_t*>(s->data)[first + j])
                            : static_cast<float>(static_cast<const int8_t*>(s->data)[first + j]);
        }
        for (int r = 0; r < 4; ++r) {
            lane.table[r] = _mm256_load_ps(values + 8 * r);
        }
        lane.tableBase = _mm256_set1_epi32(static_cast<int32_t>(first));
        lane.read = kTable;
    }
    return lane;
}

} // namespace

bool vectorKernelAvailable() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

__attribute__((target("avx2"))) void mixVectorBlocks(PlayerChannel* const* voices,
                                                     const bool* wraps, int count, float* out,
                                                     uint32_t blocks, GroupStore store) {
    VectorLane lanes[kGroupVoices];
    unsigned wideMask = 0;
    bool anyWraps = false;
    for (int k = 0; k < count; ++k) {
        lanes[k] = vectorLane(voices[k], wraps[k], blocks);
        wideMask |= (voices[k]->sample->bits == 16 ? 1u : 0u) << k;
        anyWraps = anyWraps || wraps[k];
    }
    vectorKernelOf(count, wideMask, anyWraps)(lanes, out, blocks, store);
    for (int k = 0; k < count; ++k) {
        // Frame 0's lane has moved on to the frame after the last block.
        voices[k]->position = _mm256_extract_epi64(lanes[k].even, 0);
        voices[k]->rampFrame += 8 * blocks;
    }
    // Leaves the upper register halves clean for the plain code that runs next.
    _mm256_zeroupper();
}

#else

bool vectorKernelAvailable() {
    return false;
}

void mixVectorBlocks(PlayerChannel* const*, const bool*, int, float*, uint32_t, GroupStore) {}

#endif
