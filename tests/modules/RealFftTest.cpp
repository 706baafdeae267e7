#include "modules/RealFft.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "modules/fft/SplitFft.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// Twiddles come from a 32768-entry sine table, so each term of a transform
// may be off by at most this angle: a bin or sample may then differ from the
// exact formula by kAngularStep times the sum of its terms' magnitudes.
constexpr double kAngularStep = 2 * kPi / 32768;

using Values = std::vector<float>;

Values randomValues(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(-1.f, 1.f);
    Values v(n);
    for (float& x : v)
        x = value(rng);
    return v;
}

double sumOfMagnitudes(const Values& v) {
    double sum = 0;
    for (float x : v)
        sum += std::fabs(x);
    return sum;
}

// exp(2 pi i j / n) for j < n, so that angles k t stay exact as (k t) mod n.
struct UnitRoots {
    std::vector<double> cosine, sine;
    explicit UnitRoots(int n) : cosine(n), sine(n) {
        for (int j = 0; j < n; ++j) {
            cosine[j] = std::cos(2 * kPi * j / n);
            sine[j] = std::sin(2 * kPi * j / n);
        }
    }
};

// The formulas of RealFft.h, in double.
std::vector<double> directForward(const Values& x) {
    const int n = static_cast<int>(x.size());
    const UnitRoots w(n);
    std::vector<double> p(n);
    for (int k = 0; k <= n / 2; ++k) {
        double c = 0, s = 0;
        for (int t = 0; t < n; ++t) {
            c += x[t] * w.cosine[k * t % n];
            s += x[t] * w.sine[k * t % n];
        }
        p[k] = c;
        if (k > 0 && k < n / 2) p[n - k] = s;
    }
    return p;
}

std::vector<double> directInverse(const Values& p) {
    const int n = static_cast<int>(p.size());
    const UnitRoots w(n);
    std::vector<double> x(n);
    for (int t = 0; t < n; ++t) {
        double v = p[0] / 2.0 + (t % 2 ? -p[n / 2] : p[n / 2]) / 2.0;
        for (int k = 1; k < n / 2; ++k)
            v += p[k] * w.cosine[k * t % n] + p[n - k] * w.sine[k * t % n];
        x[t] = v * 2 / n;
    }
    return x;
}

template <class Expected>
void expectNear(const Values& actual, const Expected& expected, double tolerance) {
    for (size_t i = 0; i < actual.size(); ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance) << "at index " << i;
}

std::vector<int> allSizes() {
    std::vector<int> sizes;
    for (int n = fft::kMinSize; n <= fft::kMaxSize; n *= 2)
        sizes.push_back(n);
    return sizes;
}

// Forward then inverse loses only float rounding, a few ulps per pass.
double roundTripTolerance(int n) {
    return 4 * std::log2(n) * FLT_EPSILON;
}

TEST(RealFft, MatchesTheFormulasForEverySize) {
    for (int n : allSizes()) {
        const unsigned seed = 1000u + static_cast<unsigned>(n);
        SCOPED_TRACE("n = " + std::to_string(n) + ", seed = " + std::to_string(seed));
        const Values x = randomValues(n, seed);
        Values p = x;
        fft::realFft(n, p.data());
        expectNear(p, directForward(x), kAngularStep * sumOfMagnitudes(x));

        const Values spectrum = randomValues(n, seed + 1);
        Values samples = spectrum;
        fft::inverseRealFft(n, samples.data());
        expectNear(samples, directInverse(spectrum),
                   2.0 / n * kAngularStep * sumOfMagnitudes(spectrum));

        fft::inverseRealFft(n, p.data());
        expectNear(p, x, roundTripTolerance(n));
    }
}

TEST(RealFft, PairEqualsTwoSingleInverses) {
    for (int n : allSizes()) {
        const unsigned seed = 2000u + static_cast<unsigned>(n);
        SCOPED_TRACE("n = " + std::to_string(n) + ", seed = " + std::to_string(seed));
        Values left = randomValues(n, seed), right = randomValues(n, seed + 1);
        Values singleLeft = left, singleRight = right;
        fft::inverseRealFft(n, singleLeft.data());
        fft::inverseRealFft(n, singleRight.data());
        fft::inverseRealFftPair(n, left.data(), right.data());
        // Both are within rounding of the same formula; samples are about 1/sqrt(n).
        const double tolerance = roundTripTolerance(n) / std::sqrt(n);
        expectNear(left, singleLeft, tolerance);
        expectNear(right, singleRight, tolerance);
    }
}

TEST(RealFft, SingleBinsGiveCosineSineDcAndNyquist) {
    constexpr int n = 1024, k = 16;
    const double tolerance = 2.0 / n * kAngularStep;
    auto inverseOfBin = [](int bin) {
        Values p(n, 0.f);
        p[bin] = 1.f;
        fft::inverseRealFft(n, p.data());
        return p;
    };
    std::vector<double> cosine(n), sine(n), dc(n, 1.0 / n), nyquist(n);
    for (int t = 0; t < n; ++t) {
        cosine[t] = 2.0 / n * std::cos(2 * kPi * k * t / n);
        sine[t] = 2.0 / n * std::sin(2 * kPi * k * t / n);
        nyquist[t] = (t % 2 ? -1.0 : 1.0) / n;
    }
    expectNear(inverseOfBin(k), cosine, tolerance);
    expectNear(inverseOfBin(n - k), sine, tolerance);
    expectNear(inverseOfBin(0), dc, tolerance);
    expectNear(inverseOfBin(n / 2), nyquist, tolerance);

    // And back: a constant and an alternating signal land in bins 0 and n/2 only.
    for (int size : {4, 8, n}) {
        SCOPED_TRACE("n = " + std::to_string(size));
        Values constant(size, 1.f), alternating(size);
        for (int t = 0; t < size; ++t)
            alternating[t] = t % 2 ? -1.f : 1.f;
        std::vector<double> atDc(size, 0.0), atNyquist(size, 0.0);
        atDc[0] = atNyquist[size / 2] = size;
        fft::realFft(size, constant.data());
        fft::realFft(size, alternating.data());
        expectNear(constant, atDc, kAngularStep * size);
        expectNear(alternating, atNyquist, kAngularStep * size);
    }
}

// Both kernels, whichever this machine would pick, against the direct complex DFT.
TEST(RealFft, SplitKernelsMatchTheDirectComplexDft) {
    using fft::detail::Split;
    for (bool avx2 : {false, true}) {
        if (avx2 && !fft::detail::cpuHasAvx2()) continue;
        for (int n = avx2 ? fft::detail::kMinAvx2Size : 2; n <= fft::kMaxSize; n *= 2) {
            const unsigned seed = 3000u + static_cast<unsigned>(n);
            SCOPED_TRACE(std::string(avx2 ? "AVX2" : "SSE2") + ", n = " + std::to_string(n) +
                         ", seed = " + std::to_string(seed));
            const Values re = randomValues(n, seed), im = randomValues(n, seed + 1);
            Values a = re, b = im, c(n), d(n);
            const Split buffers[2] = {{a.data(), b.data()}, {c.data(), d.data()}};
            const auto kernel =
                avx2 ? fft::detail::forwardSplitFftAvx2 : fft::detail::forwardSplitFftSse2;
            kernel(n, buffers, 0);
            const Split result = buffers[fft::detail::passCount(n) & 1];
            const UnitRoots w(n);
            const double tolerance = kAngularStep * (sumOfMagnitudes(re) + sumOfMagnitudes(im));
            for (int k = 0; k < n; ++k) {
                double sumRe = 0, sumIm = 0;
                for (int t = 0; t < n; ++t) {
                    const double cosine = w.cosine[k * t % n], sine = w.sine[k * t % n];
                    sumRe += re[t] * cosine + im[t] * sine;
                    sumIm += im[t] * cosine - re[t] * sine;
                }
                ASSERT_NEAR(result.re[k], sumRe, tolerance) << "bin " << k;
                ASSERT_NEAR(result.im[k], sumIm, tolerance) << "bin " << k;
            }
        }
    }
}

TEST(RealFft, MagnitudePassTouchesOnlyBinsOneTo511) {
    Values p(1024);
    for (int k = 0; k < 1024; ++k)
        p[k] = static_cast<float>(k % 13) - 6.f;
    for (int k = 1; k < 512; ++k) {
        p[k] = 3.f * static_cast<float>(k % 7);
        p[1024 - k] = -4.f * static_cast<float>(k % 7);
    }
    const Values before = p;
    fft::magnitudePass(p.data());
    EXPECT_EQ(p[0], before[0]);
    for (int k = 1; k < 512; ++k)
        ASSERT_EQ(p[k], 5.f * static_cast<float>(k % 7)) << k;
    for (int k = 512; k < 1024; ++k)
        ASSERT_EQ(p[k], before[k]) << k;
}

TEST(RealFft, SizesOtherThanPowersOfTwoFromFourTo4096DoNothing) {
    const Values original = randomValues(2 * fft::kMaxSize, 1);
    for (int n : {-4, 0, 1, 2, 3, 6, 12, 100, 1000, 1023, 1025, 3 * 1024, 2 * fft::kMaxSize}) {
        SCOPED_TRACE("n = " + std::to_string(n));
        Values a = original, b = original;
        fft::realFft(n, a.data());
        fft::inverseRealFft(n, b.data());
        fft::inverseRealFftPair(n, a.data(), b.data());
        EXPECT_EQ(a, original);
        EXPECT_EQ(b, original);
    }
}

}  // namespace
