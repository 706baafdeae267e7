// The real transforms ride on one complex split-array Stockham transform
// (fft/SplitFft.cpp: radix 4, SSE2, with AVX2/FMA passes picked at run time):
// - a pair of inverse real transforms of n points is one complex inverse
//   transform of n points, z = x + i y, whose spectrum Z_k = X_k + i Y_k is
//   assembled straight from the two half-complex arrays;
// - a single real transform of n points is a complex one of n/2 points on the
//   even and odd samples, plus the usual split step between the two spectra.
// Scratch lives on the stack, one frame per size class so that the common
// sizes do not pay for the largest: the pair needs 8 KB up to 1024 points and
// 32 KB at 4096, a single transform half that.
#include "modules/RealFft.h"

#include "modules/fft/Lanes.h"
#include "modules/fft/SplitFft.h"
#include "modules/fft/Twiddles.h"

namespace fft {
namespace {

using detail::Complex;
using detail::LaneComplex;
using detail::ScalarLanes;
using detail::Split;
using detail::SseLanes;

bool validSize(int n) {
    return n >= kMinSize && n <= kMaxSize && (n & (n - 1)) == 0;
}

// Sizes up to this use the small scratch frame.
constexpr int kCommonSize = 1024;
// One AVX register, so that no load from scratch straddles a cache line.
constexpr int kScratchAlignment = 32;

// Bins first .. last - 1, four at a time while a run and its mirror (which
// ends at n - k) stay clear of each other, then the rest one at a time.
template <class Quads, class Singles>
inline void overBins(int first, int last, Quads quads, Singles singles) {
    int k = first;
    for (; k + SseLanes::kWidth <= last; k += SseLanes::kWidth)
        quads(k);
    for (; k < last; ++k)
        singles(k);
}

// Spectrum of z = x + i y from the half-complex spectra of x (in left) and y
// (in right), scaled by 1/n; Z_k and Z_(n-k) only read bins k and n - k, so
// destination may be the source itself.
template <class Lanes>
inline void pairBins(int n, int k, float scale, const float* left, const float* right, Split z) {
    const auto toScale = Lanes::broadcast(scale);
    const auto a = Lanes::load(left + k), b = Lanes::loadMirrored(left + n - k);
    const auto c = Lanes::load(right + k), d = Lanes::loadMirrored(right + n - k);
    Lanes::store(z.re + k, (a + d) * toScale);
    Lanes::store(z.im + k, (c - b) * toScale);
    Lanes::storeMirrored(z.re + n - k, (a - d) * toScale);
    Lanes::storeMirrored(z.im + n - k, (b + c) * toScale);
}

void pairSpectrum(int n, const float* left, const float* right, Split z) {
    const float scale = 1.f / static_cast<float>(n);
    z.re[0] = left[0] * scale;
    z.im[0] = right[0] * scale;
    z.re[n / 2] = left[n / 2] * scale;
    z.im[n / 2] = right[n / 2] * scale;
    overBins(
        1, n / 2, [&](int k) { pairBins<SseLanes>(n, k, scale, left, right, z); },
        [&](int k) { pairBins<ScalarLanes>(n, k, scale, left, right, z); });
}

template <int kCapacity>
[[gnu::noinline]] void inversePair(int n, float* left, float* right) {
    alignas(kScratchAlignment) float scratch[2 * kCapacity];
    const int first = detail::passCount(n) & 1;  // so that the last pass lands in left/right
    pairSpectrum(n, left, right, first ? Split{scratch, scratch + n} : Split{left, right});
    // Inverse = forward with re and im swapped.
    const Split swapped[2] = {{right, left}, {scratch + n, scratch}};
    detail::forwardSplitFft(n, swapped, first);
}

// The split step between the real spectrum of n = 2N points and the complex
// spectrum Z of z_t = x_2t + i x_2t+1 (N points), for bins k and N - k.
// The half-complex bins k, N - k, N + k and n - k are the same slots as
// re[k], re[N-k], im[k] and im[N-k] of a split array laid over the data.
template <class Lanes>
inline void forwardSplitBins(int n, int k, const float* cosines, const float* sines, Split z,
                             float* p) {
    using T = typename Lanes::Value;
    const int half = n / 2;
    const T a = Lanes::load(z.re + k), b = Lanes::load(z.im + k);
    const T c = Lanes::loadMirrored(z.re + half - k), d = Lanes::loadMirrored(z.im + half - k);
    const T cosine = Lanes::load(cosines + k), sine = Lanes::load(sines + k);
    const T oneHalf = Lanes::broadcast(0.5f);
    // Even part E = (Z_k + conj Z_(N-k)) / 2, odd part O = (Z_k - conj Z_(N-k)) / 2i,
    // X_k = E + W^k O and X_(N-k) = conj(E - W^k O), W = exp(-2 pi i / n).
    const Complex<T> even{(a + c) * oneHalf, (b - d) * oneHalf};
    const Complex<T> odd{(b + d) * oneHalf, (c - a) * oneHalf};
    const Complex<T> turned = odd * Complex<T>{cosine, Lanes::broadcast(0.f) - sine};
    Lanes::store(p + k, even.re + turned.re);
    Lanes::storeMirrored(p + n - k, Lanes::broadcast(0.f) - even.im - turned.im);
    Lanes::storeMirrored(p + half - k, even.re - turned.re);
    Lanes::store(p + half + k, even.im - turned.im);
}

void realSpectrum(int n, Split z, float* p) {
    const detail::Twiddles& t = detail::twiddles();
    const int half = n / 2, quarter = n / 4;
    const float* cosines = t.realSplit(n);
    const float* sines = cosines + quarter;
    const float firstRe = z.re[0], firstIm = z.im[0];
    const float middleRe = z.re[quarter], middleIm = z.im[quarter];
    overBins(
        1, quarter, [&](int k) { forwardSplitBins<SseLanes>(n, k, cosines, sines, z, p); },
        [&](int k) { forwardSplitBins<ScalarLanes>(n, k, cosines, sines, z, p); });
    p[0] = firstRe + firstIm;
    p[half] = firstRe - firstIm;
    // X_(N/2) = conj Z_(N/2).
    p[quarter] = middleRe;
    p[half + quarter] = middleIm;
}

template <class Lanes>
inline void inverseSplitBins(int n, int k, float scale, const float* cosines, const float* sines,
                             const float* p, Split z) {
    using T = typename Lanes::Value;
    const int half = n / 2;
    const T a = Lanes::load(p + k), b = Lanes::loadMirrored(p + n - k);
    const T c = Lanes::loadMirrored(p + half - k), d = Lanes::load(p + half + k);
    const T cosine = Lanes::load(cosines + k), sine = Lanes::load(sines + k);
    const T toScale = Lanes::broadcast(scale);
    // With X_k = a - i b and X_(N-k) = c - i d: sum = X_k + conj X_(N-k),
    // difference = X_k - conj X_(N-k), turned = conj(W^k) difference, and
    // 2 Z_k = sum + i turned, 2 Z_(N-k) = conj sum + i conj turned.
    const Complex<T> sum{(a + c) * toScale, (d - b) * toScale};
    const Complex<T> difference{(a - c) * toScale, Lanes::broadcast(0.f) - (b + d) * toScale};
    const Complex<T> turned = difference * Complex<T>{cosine, sine};
    Lanes::store(z.re + k, sum.re - turned.im);
    Lanes::store(z.im + k, sum.im + turned.re);
    Lanes::storeMirrored(z.re + half - k, sum.re + turned.im);
    Lanes::storeMirrored(z.im + half - k, turned.re - sum.im);
}

// Inverse of realSpectrum, scaled by 1/n and doubled (2 Z, see above), so
// that the unscaled inverse complex transform of n/2 points yields x.
void complexSpectrum(int n, const float* p, Split z) {
    const detail::Twiddles& t = detail::twiddles();
    const int half = n / 2, quarter = n / 4;
    const float* cosines = t.realSplit(n);
    const float* sines = cosines + quarter;
    const float scale = 1.f / static_cast<float>(n);
    const float dc = p[0], nyquist = p[half];
    const float middleRe = p[quarter], middleIm = p[half + quarter];
    overBins(
        1, quarter, [&](int k) { inverseSplitBins<SseLanes>(n, k, scale, cosines, sines, p, z); },
        [&](int k) { inverseSplitBins<ScalarLanes>(n, k, scale, cosines, sines, p, z); });
    z.re[0] = (dc + nyquist) * scale;
    z.im[0] = (dc - nyquist) * scale;
    z.re[quarter] = 2.f * middleRe * scale;
    z.im[quarter] = 2.f * middleIm * scale;
}

void deinterleave(int half, const float* x, Split z) {
    int t = 0;
    for (; t + 4 <= half; t += 4) {
        const __m128 lo = _mm_loadu_ps(x + 2 * t), hi = _mm_loadu_ps(x + 2 * t + 4);
        _mm_storeu_ps(z.re + t, _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0)));
        _mm_storeu_ps(z.im + t, _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1)));
    }
    for (; t < half; ++t) {
        z.re[t] = x[2 * t];
        z.im[t] = x[2 * t + 1];
    }
}

void interleave(int half, Split z, float* x) {
    int t = 0;
    for (; t + 4 <= half; t += 4) {
        const __m128 re = _mm_loadu_ps(z.re + t), im = _mm_loadu_ps(z.im + t);
        _mm_storeu_ps(x + 2 * t, _mm_unpacklo_ps(re, im));
        _mm_storeu_ps(x + 2 * t + 4, _mm_unpackhi_ps(re, im));
    }
    for (; t < half; ++t) {
        x[2 * t] = z.re[t];
        x[2 * t + 1] = z.im[t];
    }
}

template <int kCapacity>
[[gnu::noinline]] void forwardReal(int n, float* data) {
    alignas(kScratchAlignment) float scratch[kCapacity];
    const int half = n / 2;
    const Split buffers[2] = {{data, data + half}, {scratch, scratch + half}};
    deinterleave(half, data, buffers[1]);
    detail::forwardSplitFft(half, buffers, 1);
    realSpectrum(n, buffers[(1 + detail::passCount(half)) & 1], data);
}

template <int kCapacity>
[[gnu::noinline]] void inverseReal(int n, float* data) {
    alignas(kScratchAlignment) float scratch[kCapacity];
    const int half = n / 2;
    // Start where the last pass then lands in scratch, for the interleave.
    const int first = (1 + detail::passCount(half)) & 1;
    complexSpectrum(n, data, first ? Split{scratch, scratch + half} : Split{data, data + half});
    const Split swapped[2] = {{data + half, data}, {scratch + half, scratch}};
    detail::forwardSplitFft(half, swapped, first);
    interleave(half, {scratch, scratch + half}, data);
}

constexpr int kMagnitudeSize = 1024;

template <class Lanes>
inline void magnitudeBins(int k, float* p) {
    const auto re = Lanes::load(p + k), im = Lanes::loadMirrored(p + kMagnitudeSize - k);
    Lanes::store(p + k, Lanes::squareRoot(re * re + im * im));
}

}  // namespace

void realFft(int n, float* data) {
    if (!validSize(n)) return;
    if (n <= kCommonSize)
        forwardReal<kCommonSize>(n, data);
    else
        forwardReal<kMaxSize>(n, data);
}

void inverseRealFft(int n, float* data) {
    if (!validSize(n)) return;
    if (n <= kCommonSize)
        inverseReal<kCommonSize>(n, data);
    else
        inverseReal<kMaxSize>(n, data);
}

void inverseRealFftPair(int n, float* left, float* right) {
    if (!validSize(n)) return;
    if (n <= kCommonSize)
        inversePair<kCommonSize>(n, left, right);
    else
        inversePair<kMaxSize>(n, left, right);
}

void magnitudePass(float* data) {
    // Bins up to 511 only read the mirrored slots 513..1023, which stay as they are.
    overBins(
        1, kMagnitudeSize / 2, [&](int k) { magnitudeBins<SseLanes>(k, data); },
        [&](int k) { magnitudeBins<ScalarLanes>(k, data); });
}

}  // namespace fft
