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
#include "music/voice_position.h"
#include "music/voice_vector_kernel.h"

namespace {

// Frames a steady voice can run, at most `limit`, before any of its positions reaches a loop
// point, a turn, the sample's end or the bottom of a backward run; 0 when one is due on the
// next step. With fixed-point positions the k-th position is exactly p + k x step.
uint32_t framesWithoutEvent(const PlayerChannel* c, uint32_t limit) {
    const ModuleSample* s = c->sample;
    // Indices go to 32-bit gathers.
    if (s->length >= 0x80000000u) {
        return 0;
    }
    const SamplePosition length = framePosition(s->length);
    const SamplePosition p = c->position;
    SamplePosition room = 0; // a run of n frames needs n x step < room
    if (s->loopType == PingPongLoop && !c->pingForward) {
        // Backward: a run must stay above the loop start (so above 0) and read in range.
        if (p >= length) {
            return 0;
        }
        room = p - framePosition(s->loopStart);
    } else {
        const bool loops = s->loopType == ForwardLoop || s->loopType == PingPongLoop;
        const SamplePosition bound = loops ? framePosition(s->loopEnd) : length;
        if (bound > length) {
            return 0;
        }
        room = bound - p;
    }
    if (room <= 0) {
        return 0;
    }
    if (c->step == 0) {
        return limit;
    }
    const SamplePosition frames = (room - 1) / c->step;
    return frames >= SamplePosition{limit} ? limit : static_cast<uint32_t>(frames);
}

// Frames of one pass through a loop up to which the loop counts as short.
constexpr SamplePosition kShortLoopPass = 4096;

// True when a steady voice wraps in its short forward loop inside a run: from a position in
// the last loop length before the loop end, every later position is (position + k x step)
// taken into that range modulo the loop length, which the lanes compute in place. Reads stay
// inside the sample: loopEnd <= length. Longer loops wrap seldom: their runs stop at the wrap
// instead, which leaves the vector kernel free to read runs of neighbouring values.
inline bool wrapsInRun(const PlayerChannel* c) {
    const ModuleSample* s = c->sample;
    return s->loopType == ForwardLoop && s->loopLength != 0 && s->loopEnd <= s->length &&
           s->length < 0x80000000u && framePosition(s->loopLength) / kShortLoopPass <= c->step &&
           c->position >= framePosition(s->loopEnd) - framePosition(s->loopLength) &&
           c->position < framePosition(s->loopEnd);
}

// A voice's state in locals for a run without events.
struct Lane {
    const void* data;
    SamplePosition position;
    SamplePosition advance; // per frame; negative in a ping-pong loop's backward run
    SamplePosition last;    // a position above it has `wrap` subtracted (INT64_MAX: never)
    SamplePosition wrap;
    float left;
    float right;
};

// With `wrap`, a voice of wrapsInRun() gets its loop's wrap: a step reduced modulo the loop
// length and at most one subtraction of the length move it as the repeated subtractions do.
[[gnu::always_inline]] inline Lane loadLane(const PlayerChannel* c, bool wrap) {
    // (d / 128) x volume rounds the same real number as d x (volume / 128): the scale is a
    // power of two and the steady test keeps volume / 128 exact.
    const ModuleSample* s = c->sample;
    const float scale = s->bits == 16 ? 1.0f / 32768.0f : 1.0f / 128.0f;
    const bool backward = s->loopType == PingPongLoop && !c->pingForward;
    Lane lane{s->data,
              c->position,
              backward ? -c->step : c->step,
              INT64_MAX,
              0,
              c->actualVolume[0] * scale,
              c->actualVolume[1] * scale};
    if (wrap && wrapsInRun(c)) {
        lane.wrap = framePosition(s->loopLength);
        lane.last = framePosition(s->loopEnd) - 1;
        lane.advance %= lane.wrap;
    }
    return lane;
}

// The value at a lane's position, then its step (and wrap).
template <bool Wide, bool Wrap> [[gnu::always_inline]] inline int32_t readAndStep(Lane& lane) {
    const auto index = static_cast<int64_t>(positionFrame(lane.position));
    const int32_t value = Wide ? static_cast<const int16_t*>(lane.data)[index]
                               : static_cast<const int8_t*>(lane.data)[index];
    lane.position += lane.advance;
    if (Wrap) {
        lane.position -= lane.position > lane.last ? lane.wrap : 0;
    }
    return value;
}

#ifdef QUAVEL_GROUP_SSE2

// Two frames (left, right, left, right) of voice K added to the sums in acc.
template <size_t K, unsigned WideMask, bool Wrap>
[[gnu::always_inline]] inline __m128 addTwoFrames(__m128 acc, Lane* lanes, const __m128* volume) {
    constexpr bool wide = ((WideMask >> K) & 1u) != 0;
    const int32_t v0 = readAndStep<wide, Wrap>(lanes[K]);
    const int32_t v1 = readAndStep<wide, Wrap>(lanes[K]);
    const __m128 values =
        _mm_cvtepi32_ps(_mm_unpacklo_epi32(_mm_cvtsi32_si128(v0), _mm_cvtsi32_si128(v1)));
    return _mm_add_ps(acc, _mm_mul_ps(_mm_unpacklo_ps(values, values), volume[K]));
}

template <unsigned WideMask, bool Wrap, size_t... K>
void runLanes(Lane* lanes, float* out, uint32_t frames, GroupStore store,
              std::index_sequence<K...>) {
    const __m128 g = _mm_set1_ps(store.gain);
    const __m128 volume[] = {
        _mm_setr_ps(lanes[K].left, lanes[K].right, lanes[K].left, lanes[K].right)...};
    uint32_t f = 0;
    for (; f + 2 <= frames; f += 2) {
        __m128 acc = store.fresh ? _mm_setzero_ps() : _mm_loadu_ps(out + 2 * f);
        // The comma fold adds the voices in channel order.
        ((acc = addTwoFrames<K, WideMask, Wrap>(acc, lanes, volume)), ...);
        _mm_storeu_ps(out + 2 * f, _mm_mul_ps(acc, g));
    }
    if (f < frames) {
        float left = store.fresh ? 0.0f : out[2 * f];
        float right = store.fresh ? 0.0f : out[2 * f + 1];
        auto one = [&](Lane& lane, auto wide) {
            const auto value = static_cast<float>(readAndStep<decltype(wide)::value, Wrap>(lane));
            left = left + value * lane.left;
            right = right + value * lane.right;
        };
        (one(lanes[K], std::bool_constant<((WideMask >> K) & 1u) != 0>()), ...);
        out[2 * f] = left * store.gain;
        out[2 * f + 1] = right * store.gain;
    }
}

#else

template <unsigned WideMask, bool Wrap, size_t... K>
void runLanes(Lane* lanes, float* out, uint32_t frames, GroupStore store,
              std::index_sequence<K...>) {
    for (uint32_t f = 0; f < frames; ++f) {
        float left = store.fresh ? 0.0f : out[2 * f];
        float right = store.fresh ? 0.0f : out[2 * f + 1];
        auto one = [&](Lane& lane, auto wide) {
            const auto value = static_cast<float>(readAndStep<decltype(wide)::value, Wrap>(lane));
            left = left + value * lane.left;
            right = right + value * lane.right;
        };
        (one(lanes[K], std::bool_constant<((WideMask >> K) & 1u) != 0>()), ...);
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

// Runs of fewer frames than this go the plain way: the vector kernel's set-up would cost more.
constexpr uint32_t kVectorMinFrames = 16;

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

// Runs `frames` frames without events (other than the wraps of wrapsInRun() voices where
// `wraps` is set): eight at a time through the vector kernel where the machine has it, the
// rest through the lane kernels.
void runWithoutEvents(PlayerChannel** voices, int count, float* out, uint32_t frames,
                      GroupStore store, bool wraps) {
    uint32_t f = 0;
    if (frames >= kVectorMinFrames && vectorKernelAvailable()) {
        bool wrapping[kGroupVoices] = {};
        for (int k = 0; k < count; ++k) {
            wrapping[k] = wraps && wrapsInRun(voices[k]);
        }
        mixVectorBlocks(voices, wrapping, count, out, frames / 8, store);
        f = frames / 8 * 8;
    }
    if (f < frames) {
        float* rest = out + 2 * static_cast<size_t>(f);
        if (wraps) {
            runPlain<true>(voices, count, rest, frames - f, store);
        } else {
            runPlain<false>(voices, count, rest, frames - f, store);
        }
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
        // Voices inside a forward loop wrap in place and bound no run; the others' events do.
        bool wraps = false;
        uint32_t run = frames - f;
        for (int k = 0; k < count && run > 0; ++k) {
            if (wrapsInRun(voices[k])) {
                wraps = true;
            } else {
                run = framesWithoutEvent(voices[k], run);
            }
        }
        if (run > 0) {
            runWithoutEvents(voices, count, out + 2 * static_cast<size_t>(f), run, store, wraps);
            f += run;
            if (f == frames) {
                break;
            }
        }
        count = mixCheckedFrame(voices, count, out + 2 * static_cast<size_t>(f), store);
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
