#include "modules/CombFilter.h"

#include <immintrin.h>

#include "modules/CpuFeatures.h"

namespace audio {

void runCombSse2(const float* read, float* write, const float* in, float* sum, float gain,
                 int n) noexcept {
    const __m128 g = _mm_set1_ps(gain);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128 v = _mm_mul_ps(_mm_loadu_ps(read + i), g);
        _mm_storeu_ps(write + i, _mm_add_ps(_mm_loadu_ps(in + i), v));
        _mm_storeu_ps(sum + i, _mm_add_ps(_mm_loadu_ps(sum + i), v));
    }
    for (; i < n; ++i) {
        const float v = read[i] * gain;
        write[i] = in[i] + v;
        sum[i] += v;
    }
}

// The same arithmetic, eight frames at a time (no fused multiply-add: the
// results stay those of the SSE2 form).
__attribute__((target("avx2"))) void runCombAvx2(const float* read, float* write, const float* in,
                                                 float* sum, float gain, int n) noexcept {
    const __m256 g = _mm256_set1_ps(gain);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256 v = _mm256_mul_ps(_mm256_loadu_ps(read + i), g);
        _mm256_storeu_ps(write + i, _mm256_add_ps(_mm256_loadu_ps(in + i), v));
        _mm256_storeu_ps(sum + i, _mm256_add_ps(_mm256_loadu_ps(sum + i), v));
    }
    if (i < n) runCombSse2(read + i, write + i, in + i, sum + i, gain, n - i);
}

void runComb(const float* read, float* write, const float* in, float* sum, float gain,
             int n) noexcept {
    if (math::cpuHasAvx2())
        runCombAvx2(read, write, in, sum, gain, n);
    else
        runCombSse2(read, write, in, sum, gain, n);
}

}  // namespace audio
