#include "modules/SharedMath.h"

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

void wordFill(std::uint32_t* destination, std::uint32_t value, std::size_t count) {
    std::fill_n(destination, count, value);
}

}  // namespace math
