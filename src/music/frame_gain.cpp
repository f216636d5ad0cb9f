#include "music/frame_gain.h"

#if defined(__GNUC__) && defined(__x86_64__) && !defined(QUAVEL_NO_AVX2)
#include <immintrin.h>
#define QUAVEL_GAIN_AVX2 1
#endif

namespace {

void applyGainPlain(float* values, uint64_t count, float gain) {
    uint64_t k = 0;
    // Groups of four let the compiler use vector instructions.
    for (; k + 4 <= count; k += 4) {
        values[k] *= gain;
        values[k + 1] *= gain;
        values[k + 2] *= gain;
        values[k + 3] *= gain;
    }
    for (; k < count; ++k) {
        values[k] *= gain;
    }
}

#ifdef QUAVEL_GAIN_AVX2
__attribute__((target("avx2"))) void applyGainAvx2(float* values, uint64_t count, float gain) {
    const __m256 g = _mm256_set1_ps(gain);
    uint64_t k = 0;
    for (; k + 8 <= count; k += 8) {
        _mm256_storeu_ps(values + k, _mm256_mul_ps(_mm256_loadu_ps(values + k), g));
    }
    // Leaves the upper register halves clean: the plain code after it would otherwise pay for
    // every instruction it runs.
    _mm256_zeroupper();
    applyGainPlain(values + k, count - k, gain);
}
#endif

} // namespace

void applyGain(float* values, uint64_t count, float gain) {
#ifdef QUAVEL_GAIN_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        applyGainAvx2(values, count, gain);
        return;
    }
#endif
    applyGainPlain(values, count, gain);
}
