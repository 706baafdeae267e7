#include "modules/SharedMath.h"

#include <emmintrin.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

namespace math {
namespace {

float toFloatOrInfinity(double v) {
    return v > FLT_MAX ? INFINITY : static_cast<float>(v);
}

std::unique_ptr<Tables> buildTables() {
    auto t = std::make_unique<Tables>();
    for (int i = 0; i < kSineTableSize; ++i)
        t->sine[i] = static_cast<float>(std::sin(2.0 * i * 3.1415927 / kSineTableSize));
    for (int i = 0; i < kPowerIntEntries; ++i) {
        t->pow2Int[i] = toFloatOrInfinity(std::pow(2.0, i));
        t->pow10Int[i] = toFloatOrInfinity(std::pow(10.0, i));
    }
    for (int i = 0; i <= kPowerFracSteps; ++i) {
        t->pow2Frac[i] = static_cast<float>(std::pow(2.0, i / double(kPowerFracSteps)));
        t->pow10Frac[i] = static_cast<float>(std::pow(10.0, i / double(kPowerFracSteps)));
    }
    return t;
}

}  // namespace

const Tables& tables() {
    static const std::unique_ptr<Tables> instance = buildTables();
    return *instance;
}

float fastPow(float x, const float* intPowers, const float* fracPowers) {
    constexpr float kLargestArgument = 255.99998f;  // the float just below 256
    if (!(x > 0.f)) x = 0.f;                        // also catches NaN
    if (x > kLargestArgument) x = kLargestArgument;
    const int n = static_cast<int>(x);
    const float t = (x - static_cast<float>(n)) * kPowerFracSteps;
    const int j = static_cast<int>(t);
    return ((fracPowers[j + 1] - fracPowers[j]) * (t - static_cast<float>(j)) + fracPowers[j]) *
           intPowers[n];
}

namespace {
__m128 softClip4(__m128 x) {
    const __m128 cubic =
        _mm_sub_ps(x, _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.15f), x), x), x));
    const __m128 high = _mm_cmpgt_ps(x, _mm_set1_ps(1.5f));
    const __m128 low = _mm_cmplt_ps(x, _mm_set1_ps(-1.5f));
    const __m128 limited =
        _mm_or_ps(_mm_and_ps(high, _mm_set1_ps(1.f)), _mm_and_ps(low, _mm_set1_ps(-1.f)));
    return _mm_or_ps(_mm_andnot_ps(_mm_or_ps(high, low), cubic), limited);
}
}  // namespace

void softClipFrames(const float* interleaved, float* left, float* right, int frames) noexcept {
    int i = 0;
    for (; i + 4 <= frames; i += 4) {
        const __m128 a = _mm_load_ps(interleaved + 2 * i);      // L0 R0 L1 R1
        const __m128 b = _mm_load_ps(interleaved + 2 * i + 4);  // L2 R2 L3 R3
        _mm_storeu_ps(left + i, softClip4(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))));
        _mm_storeu_ps(right + i, softClip4(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1))));
    }
    for (; i < frames; ++i) {
        left[i] = softClip(interleaved[2 * i]);
        right[i] = softClip(interleaved[2 * i + 1]);
    }
}

void wordFill(std::uint32_t* destination, std::uint32_t value, std::size_t count) {
    std::fill_n(destination, count, value);
}

}  // namespace math
