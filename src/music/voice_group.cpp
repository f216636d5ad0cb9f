#include "music/voice_group.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(QUAVEL_NO_SSE2)
#include <emmintrin.h>
#define QUAVEL_GROUP_SSE2 1
#endif

#include "music/frame_gain.h"
#include "music/voice.h"
#include "music/voice_grid.h"
#include "music/voice_position.h"

namespace {

// Frames a steady voice can run, at most `limit`, before any of its positions reaches a loop
// point, a turn, the sample's end or the bottom of a backward run; 0 when that cannot be
// shown. The positions stay the serial float additions; this only bounds them. Each addition
// lands within half an ulp of the exact sum, and no position in the run exceeds `top`, so
// after k additions the position is within k x (step + ulp(top)) of the start. Counting with
// twice that ulp, and one frame less, leaves room for the double arithmetic's rounding.
uint32_t framesWithoutEvent(const PlayerChannel* c, uint32_t limit) {
    const ModuleSample* s = c->sample;
    const float step = c->step;
    const float p = c->position;
    // Indices come from 32-bit signed conversions; steps that are negative, huge or NaN take
    // the checked way.
    if (!(step >= 0.0f && step < 1.0e30f) || s->length >= 0x80000000u) {
        return 0;
    }
    const float length = static_cast<float>(s->length);
    constexpr double kUlpPerValue = 1.0 / 4194304.0; // 2^-22: two ulps of the value
    constexpr double kSmallestUlp = 1.0e-40;         // covers subnormal spacing
    double room = 0.0;
    double top = 0.0;
    if (s->loopType == PingPongLoop && !c->pingForward) {
        // Backward: a run must stay above the loop start (never below 0) and read in range.
        if (!(p < length)) {
            return 0;
        }
        room = static_cast<double>(p) - static_cast<double>(static_cast<float>(s->loopStart));
        top = p;
    } else {
        const bool loops = s->loopType == ForwardLoop || s->loopType == PingPongLoop;
        const float bound = loops ? static_cast<float>(s->loopEnd) : length;
        if (!(bound <= length)) {
            return 0;
        }
        room = static_cast<double>(bound) - static_cast<double>(p);
        top = bound;
    }
    if (!(room > 0.0)) {
        return 0;
    }
    const double ulp = top * kUlpPerValue > kSmallestUlp ? top * kUlpPerValue : kSmallestUlp;
    const double perFrame = static_cast<double>(step) + ulp;
    // Where the room clearly holds the limit (three frames to spare cover the product's
    // rounding), the division would only confirm it.
    if ((static_cast<double>(limit) + 3.0) * perFrame <= room) {
        return limit;
    }
    const double frames = std::floor(room / perFrame) - 1.0;
    if (!(frames >= 1.0)) {
        return 0;
    }
    return frames >= static_cast<double>(limit) ? limit : static_cast<uint32_t>(frames);
}

// Frames of one pass through a loop up to which the loop counts as short.
constexpr float kShortLoopPass = 256.0f;

// True when a steady voice's forward loop can wrap inside a run: every wrap is one
// subtraction of the loop length, which a run's lanes do in place. The position after a step
// lies in [loopEnd, fl(loopEnd + step)]; one subtraction brings all of it below the loop end
// when it brings the top there (the rounded subtraction does not decrease with its operand).
// Reads stay inside the sample: positions stay in [0, loopEnd) and loopEnd <= length.
inline bool wrapsInRun(const PlayerChannel* c) {
    const ModuleSample* s = c->sample;
    if (s->loopType != ForwardLoop || !(c->step >= 0.0f && c->step < 1.0e30f) ||
        s->loopEnd > s->length || s->loopEnd > (1u << 24)) {
        return false;
    }
    const float end = static_cast<float>(s->loopEnd);
    const float top = end + c->step;
    // Longer loops wrap seldom: their runs stop at the wrap, and the grid takes the rest.
    const bool shortLoop = static_cast<float>(s->loopLength) <= c->step * kShortLoopPass;
    return shortLoop && c->position >= 0.0f && c->position < end &&
           top - static_cast<float>(s->loopLength) < end;
}

// A voice's state in locals for a run without events.
struct Lane {
    const void* data;
    float position;
    float step; // negative in a ping-pong loop's backward run: p + (-s) rounds as p - s
    float left;
    float right;
    float wrapAt; // a position at or past it has the wrap subtracted (+inf: never)
    float wrap;
};

// With `wrap`, a voice of wrapsInRun() gets its loop's wrap.
[[gnu::always_inline]] inline Lane loadLane(const PlayerChannel* c, bool wrap) {
    // (d / 128) x volume rounds the same real number as d x (volume / 128): the scale is a
    // power of two and the steady test keeps volume / 128 exact.
    const ModuleSample* s = c->sample;
    const float scale = s->bits == 16 ? 1.0f / 32768.0f : 1.0f / 128.0f;
    const bool backward = s->loopType == PingPongLoop && !c->pingForward;
    const bool wraps = wrap && wrapsInRun(c);
    return {s->data,
            c->position,
            backward ? -c->step : c->step,
            c->actualVolume[0] * scale,
            c->actualVolume[1] * scale,
            wraps ? static_cast<float>(s->loopEnd) : INFINITY,
            wraps ? static_cast<float>(s->loopLength) : 0.0f};
}

template <bool Wide> [[gnu::always_inline]] inline int32_t readValue(const void* data, float p) {
    // A 64-bit conversion: the index then needs no sign extension before the load.
    const int64_t index = static_cast<int64_t>(p);
    return Wide ? static_cast<const int16_t*>(data)[index]
                : static_cast<const int8_t*>(data)[index];
}

template <bool Wide>
[[gnu::always_inline]] inline int32_t readIndex(const void* data, int32_t index) {
    return Wide ? static_cast<const int16_t*>(data)[index]
                : static_cast<const int8_t*>(data)[index];
}

#ifdef QUAVEL_GROUP_SSE2

// The positions of up to four voices, one per lane, after one step: each lane's addition is
// the voice's own float addition. With Wrap, a position at or past its lane's wrapAt has the
// lane's wrap subtracted, without a branch (short loops wrap every few dozen frames); lanes
// that do not wrap subtract +0, which leaves them as they are.
template <bool Wrap>
[[gnu::always_inline]] inline __m128 stepLanes(__m128 position, __m128 step, __m128 wrapAt,
                                               __m128 wrap) {
    position = _mm_add_ps(position, step);
    if (Wrap) {
        position = _mm_sub_ps(position, _mm_and_ps(_mm_cmple_ps(wrapAt, position), wrap));
    }
    return position;
}

// Two frames (left, right, left, right) of voice K, read at the indices of two frames, added
// to the sums in acc.
template <int K, unsigned WideMask>
[[gnu::always_inline]] inline __m128 addTwoFrames(__m128 acc, const int32_t* first,
                                                  const int32_t* second, const void* const* data,
                                                  const __m128* volume) {
    constexpr bool wide = ((WideMask >> K) & 1u) != 0;
    const int32_t v0 = readIndex<wide>(data[K], first[K]);
    const int32_t v1 = readIndex<wide>(data[K], second[K]);
    const __m128 values =
        _mm_cvtepi32_ps(_mm_unpacklo_epi32(_mm_cvtsi32_si128(v0), _mm_cvtsi32_si128(v1)));
    return _mm_add_ps(acc, _mm_mul_ps(_mm_unpacklo_ps(values, values), volume[K]));
}

// Two frames (left, right, left, right) of one voice, its position in a scalar, added to the
// sums in acc: for runs without wraps, which are often short and need no vector set-up.
template <int K, unsigned WideMask>
[[gnu::always_inline]] inline __m128 addTwoSteppedFrames(__m128 acc, float* position,
                                                         const float* step, const void* const* data,
                                                         const __m128* volume) {
    constexpr bool wide = ((WideMask >> K) & 1u) != 0;
    const int32_t v0 = readValue<wide>(data[K], position[K]);
    position[K] = position[K] + step[K];
    const int32_t v1 = readValue<wide>(data[K], position[K]);
    position[K] = position[K] + step[K];
    const __m128 values =
        _mm_cvtepi32_ps(_mm_unpacklo_epi32(_mm_cvtsi32_si128(v0), _mm_cvtsi32_si128(v1)));
    return _mm_add_ps(acc, _mm_mul_ps(_mm_unpacklo_ps(values, values), volume[K]));
}

template <unsigned WideMask, size_t... K>
void runSerialLanes(Lane* lanes, float* out, uint32_t frames, GroupStore store,
                    std::index_sequence<K...>) {
    float position[] = {lanes[K].position...};
    const __m128 g = _mm_set1_ps(store.gain);
    const float step[] = {lanes[K].step...};
    const void* const data[] = {lanes[K].data...};
    const __m128 volume[] = {
        _mm_setr_ps(lanes[K].left, lanes[K].right, lanes[K].left, lanes[K].right)...};
    uint32_t f = 0;
    for (; f + 2 <= frames; f += 2) {
        __m128 acc = store.fresh ? _mm_setzero_ps() : _mm_loadu_ps(out + 2 * f);
        // The comma fold adds the voices in channel order.
        ((acc = addTwoSteppedFrames<K, WideMask>(acc, position, step, data, volume)), ...);
        _mm_storeu_ps(out + 2 * f, _mm_mul_ps(acc, g));
    }
    if (f < frames) {
        float left = store.fresh ? 0.0f : out[2 * f];
        float right = store.fresh ? 0.0f : out[2 * f + 1];
        auto one = [&](size_t k, bool wide) {
            const float value = static_cast<float>(wide ? readValue<true>(data[k], position[k])
                                                        : readValue<false>(data[k], position[k]));
            position[k] = position[k] + step[k];
            left = left + value * lanes[k].left;
            right = right + value * lanes[k].right;
        };
        (one(K, ((WideMask >> K) & 1u) != 0), ...);
        out[2 * f] = left * store.gain;
        out[2 * f + 1] = right * store.gain;
    }
    ((lanes[K].position = position[K]), ...);
}

// One field of the voices' lanes as a vector, `pad` past the voices. Built in registers: a
// vector load of values just stored one by one would wait for the stores.
template <float Lane::*Field, size_t... K>
[[gnu::always_inline]] inline __m128 laneVector(const Lane* lanes, float pad,
                                                std::index_sequence<K...>) {
    constexpr size_t n = sizeof...(K);
    return _mm_setr_ps(lanes[0].*Field, n > 1 ? lanes[n > 1 ? 1 : 0].*Field : pad,
                       n > 2 ? lanes[n > 2 ? 2 : 0].*Field : pad,
                       n > 3 ? lanes[n > 3 ? 3 : 0].*Field : pad);
}

template <unsigned WideMask, bool Wrap, size_t... K>
void runVectorLanes(Lane* lanes, float* out, uint32_t frames, GroupStore store,
                    std::index_sequence<K...>) {
    // Lanes past the voices hold position 0, step 0 and no wrap.
    __m128 p = laneVector<&Lane::position>(lanes, 0.0f, std::index_sequence<K...>());
    const __m128 s = laneVector<&Lane::step>(lanes, 0.0f, std::index_sequence<K...>());
    const __m128 e = laneVector<&Lane::wrapAt>(lanes, INFINITY, std::index_sequence<K...>());
    const __m128 w = laneVector<&Lane::wrap>(lanes, 0.0f, std::index_sequence<K...>());
    const __m128 g = _mm_set1_ps(store.gain);
    const void* const data[] = {lanes[K].data...};
    const __m128 volume[] = {
        _mm_setr_ps(lanes[K].left, lanes[K].right, lanes[K].left, lanes[K].right)...};
    // Positions are below 2^31 (inside the sample): the 32-bit conversion truncates them as
    // the definition's index does.
    alignas(16) int32_t first[4];
    alignas(16) int32_t second[4];
    uint32_t f = 0;
    for (; f + 2 <= frames; f += 2) {
        _mm_store_si128(reinterpret_cast<__m128i*>(first), _mm_cvttps_epi32(p));
        p = stepLanes<Wrap>(p, s, e, w);
        _mm_store_si128(reinterpret_cast<__m128i*>(second), _mm_cvttps_epi32(p));
        p = stepLanes<Wrap>(p, s, e, w);
        __m128 acc = store.fresh ? _mm_setzero_ps() : _mm_loadu_ps(out + 2 * f);
        // The comma fold adds the voices in channel order.
        ((acc = addTwoFrames<K, WideMask>(acc, first, second, data, volume)), ...);
        _mm_storeu_ps(out + 2 * f, _mm_mul_ps(acc, g));
    }
    if (f < frames) {
        _mm_store_si128(reinterpret_cast<__m128i*>(first), _mm_cvttps_epi32(p));
        p = stepLanes<Wrap>(p, s, e, w);
        float left = store.fresh ? 0.0f : out[2 * f];
        float right = store.fresh ? 0.0f : out[2 * f + 1];
        auto one = [&](size_t k, bool wide) {
            const float value = static_cast<float>(wide ? readIndex<true>(data[k], first[k])
                                                        : readIndex<false>(data[k], first[k]));
            left = left + value * lanes[k].left;
            right = right + value * lanes[k].right;
        };
        (one(K, ((WideMask >> K) & 1u) != 0), ...);
        out[2 * f] = left * store.gain;
        out[2 * f + 1] = right * store.gain;
    }
    alignas(16) float position[4];
    _mm_store_ps(position, p);
    ((lanes[K].position = position[K]), ...);
}

// Runs with wraps step all positions as one vector, where each wrap costs three operations;
// the others keep each position in a scalar.
template <unsigned WideMask, bool Wrap, size_t... K>
void runLanes(Lane* lanes, float* out, uint32_t frames, GroupStore store,
              std::index_sequence<K...> order) {
    if (Wrap) {
        runVectorLanes<WideMask, true>(lanes, out, frames, store, order);
    } else {
        runSerialLanes<WideMask>(lanes, out, frames, store, order);
    }
}

#else

template <unsigned WideMask, bool Wrap, size_t... K>
void runLanes(Lane* lanes, float* out, uint32_t frames, GroupStore store,
              std::index_sequence<K...>) {
    for (uint32_t f = 0; f < frames; ++f) {
        float left = store.fresh ? 0.0f : out[2 * f];
        float right = store.fresh ? 0.0f : out[2 * f + 1];
        auto one = [&](size_t k, bool wide) {
            Lane& lane = lanes[k];
            const float value =
                static_cast<float>(wide ? readValue<true>(lane.data, lane.position)
                                        : readValue<false>(lane.data, lane.position));
            lane.position = lane.position + lane.step;
            if (Wrap && lane.position >= lane.wrapAt) {
                lane.position = lane.position - lane.wrap;
            }
            left = left + value * lane.left;
            right = right + value * lane.right;
        };
        (one(K, ((WideMask >> K) & 1u) != 0), ...);
        out[2 * f] = left * store.gain;
        out[2 * f + 1] = right * store.gain;
    }
}

#endif

using LaneKernel = void (*)(Lane*, float*, uint32_t, GroupStore);

template <int N, unsigned WideMask, bool Wrap>
void laneKernel(Lane* lanes, float* out, uint32_t frames, GroupStore store) {
    runLanes<WideMask, Wrap>(lanes, out, frames, store, std::make_index_sequence<N>());
}

// Kernels for N voices, indexed by which of them have 16-bit data; the second half wraps.
template <int N, unsigned... Mask>
constexpr std::array<LaneKernel, 2 * sizeof...(Mask)>
kernelsFor(std::integer_sequence<unsigned, Mask...>) {
    return {&laneKernel<N, Mask, false>..., &laneKernel<N, Mask, true>...};
}

const std::array<LaneKernel, 4> kOneVoice =
    kernelsFor<1>(std::make_integer_sequence<unsigned, 2>());
const std::array<LaneKernel, 8> kTwoVoices =
    kernelsFor<2>(std::make_integer_sequence<unsigned, 4>());
const std::array<LaneKernel, 16> kThreeVoices =
    kernelsFor<3>(std::make_integer_sequence<unsigned, 8>());
const std::array<LaneKernel, 32> kFourVoices =
    kernelsFor<4>(std::make_integer_sequence<unsigned, 16>());

LaneKernel kernelFor(int count, unsigned wideMask, bool wrap) {
    const unsigned slot = wrap ? (1u << count) + wideMask : wideMask;
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

// Frames below which a run is not worth putting on the grid, and the frames run the plain way
// when some voice cannot go on a grid for now (a position below 1, a tie).
constexpr uint32_t kGridMinFrames = 32;
constexpr uint32_t kOffGridFrames = 32;

template <bool Wrap = false>
void runPlain(PlayerChannel** voices, int count, float* out, uint32_t frames, GroupStore store);

// Frames to run the plain way for a voice that is off the grid: a position below 1 only
// until it passes 1 (the estimate may be a frame short, which costs one more look), others
// for kOffGridFrames; at most `frames`, at least 1.
uint32_t offGridFrames(const PlayerChannel* c, uint32_t frames) {
    uint32_t plain = kOffGridFrames;
    if (c->position >= 0.0f && c->position < 1.0f && c->step > 0.0f) {
        const float toOne = (1.0f - c->position) / c->step; // below 1 / step
        plain = toOne < static_cast<float>(kOffGridFrames) ? static_cast<uint32_t>(toOne) + 1
                                                           : kOffGridFrames;
    }
    return plain < frames ? plain : frames;
}

// Mixes the start of an event-free run of `frames` frames: on the grid while every voice stays
// on its grid, then the plain way up to and including the step that takes the first voice
// off it (into its next binade). Short stretches go the plain way throughout (low positions,
// whose binades are only a few steps wide). Returns the frames done, at least 1. runs[k] is
// reused where known[k] is set and describes the voice again afterwards where it stays set.
uint32_t runOnGrid(PlayerChannel** voices, int count, float* out, uint32_t frames, GroupStore store,
                   GridRun* runs, bool* known) {
    uint32_t n = frames;
    for (int k = 0; k < count; ++k) {
        if (!known[k] && !gridRunOf(voices[k], frames, &runs[k])) {
            const uint32_t plain = offGridFrames(voices[k], frames);
            runPlain(voices, count, out, plain, store);
            for (int j = 0; j < count; ++j) {
                if (j < k && runs[j].frames > plain) {
                    runs[j].position += static_cast<int32_t>(plain) * runs[j].delta;
                    runs[j].frames -= plain;
                } else {
                    known[j] = false;
                }
            }
            return plain;
        }
        known[k] = true;
        n = runs[k].frames < n ? runs[k].frames : n;
    }
    uint32_t done = 0;
    if (n >= kGridMinFrames) {
        mixOnGrid(voices, runs, count, out, n / 8, store);
        done = n / 8 * 8;
    }
    const uint32_t stepOff = n < frames ? n + 1 : frames;
    if (stepOff > done) {
        runPlain(voices, count, out + 2 * static_cast<size_t>(done), stepOff - done, store);
    }
    const uint32_t used = stepOff > done ? stepOff : done;
    // A voice whose run reaches beyond these frames is still on the same grid: its plain
    // steps landed exactly where the grid puts them.
    for (int k = 0; k < count; ++k) {
        if (runs[k].frames > used) {
            runs[k].position += static_cast<int32_t>(used) * runs[k].delta;
            runs[k].frames -= used;
        } else {
            known[k] = false;
        }
    }
    return used;
}

// Runs `frames` frames without events through the kernels for these voices.
void runWithoutEvents(PlayerChannel** voices, int count, float* out, uint32_t frames,
                      GroupStore store) {
    uint32_t f = 0;
    if (gridKernelAvailable()) {
        GridRun runs[kGroupVoices];
        bool known[kGroupVoices] = {};
        while (frames - f >= kGridMinFrames) {
            f += runOnGrid(voices, count, out + 2 * static_cast<size_t>(f), frames - f, store, runs,
                           known);
        }
    }
    if (f < frames) {
        runPlain(voices, count, out + 2 * static_cast<size_t>(f), frames - f, store);
    }
}

// The same frames through the scalar lane kernels; with Wrap, the voices of wrapsInRun()
// wrap inside the run.
template <bool Wrap>
void runPlain(PlayerChannel** voices, int count, float* out, uint32_t frames, GroupStore store) {
    Lane lanes[kGroupVoices];
    unsigned wideMask = 0;
    for (int k = 0; k < count; ++k) {
        lanes[k] = loadLane(voices[k], Wrap);
        wideMask |= (voices[k]->sample->bits == 16 ? 1u : 0u) << k;
    }
    kernelFor(count, wideMask, Wrap)(lanes, out, frames, store);
    for (int k = 0; k < count; ++k) {
        voices[k]->position = lanes[k].position;
        voices[k]->rampFrame += frames;
    }
}

// One frame in which some voice meets an event, mixed by the definition itself: the value,
// then the position step with its wrap, turn or stop. Returns how many voices go on.
int mixCheckedFrame(PlayerChannel** voices, int count, float* out, GroupStore store) {
    float left = store.fresh ? 0.0f : out[0];
    float right = store.fresh ? 0.0f : out[1];
    int kept = 0;
    for (int k = 0; k < count; ++k) {
        PlayerChannel* c = voices[k];
        const float value = voiceValue(c->sample, c->position);
        advanceVoice(c, c->sample);
        left = left + value * c->actualVolume[0];
        right = right + value * c->actualVolume[1];
        ++c->rampFrame;
        if (voiceActive(c)) {
            voices[kept++] = c;
        }
    }
    out[0] = left * store.gain;
    out[1] = right * store.gain;
    return kept;
}

} // namespace

void mixSteadyGroup(PlayerChannel** voices, int count, float* out, uint32_t frames,
                    GroupStore store) {
    uint32_t f = 0;
    while (f < frames && count > 0) {
        // Short loops wrap every few dozen frames: their voices wrap in place and bound no
        // run; the others' events do.
        bool wraps = false;
        uint32_t run = frames - f;
        for (int k = 0; k < count && run > 0; ++k) {
            if (wrapsInRun(voices[k])) {
                wraps = true;
            } else {
                run = framesWithoutEvent(voices[k], run);
            }
        }
        if (wraps && run > 0) {
            runPlain<true>(voices, count, out + 2 * f, run, store);
            f += run;
            continue;
        }
        if (run > 0) {
            runWithoutEvents(voices, count, out + 2 * f, run, store);
            f += run;
            if (f == frames) {
                break;
            }
        }
        count = mixCheckedFrame(voices, count, out + 2 * f, store);
        ++f;
    }
    // Frames after every voice stopped.
    storeUnreached(out + 2 * static_cast<size_t>(f), frames - f, store);
}

void storeUnreached(float* out, uint32_t frames, GroupStore store) {
    if (store.fresh) {
        std::fill(out, out + 2 * static_cast<size_t>(frames), 0.0f);
    } else if (store.gain != 1.0f) {
        applyGain(out, 2 * static_cast<uint64_t>(frames), store.gain);
    }
}
