// Radix-4 Stockham transform (decimation in frequency), with one radix-2 pass
// at the end when n is an odd power of two. Stockham rather than in-place
// Cooley-Tukey because each pass reorders as it goes, so there is no
// bit-reversal pass, and every pass after the first reads and writes runs of
// consecutive points: pass s (stride s = 4^j) works on four points that are
// s * n/4^(j+1) apart and shares one twiddle across s consecutive butterflies,
// which the SSE lanes take four at a time. The first pass (s = 1) instead
// takes four consecutive butterflies and transposes their outputs.
#include "modules/fft/SplitFft.h"

#include "modules/fft/Lanes.h"
#include "modules/fft/Twiddles.h"

namespace fft::detail {
namespace {

template <typename T>
struct Radix4 {
    Complex<T> y0, y1, y2, y3;
};

template <typename T>
inline Radix4<T> butterfly(Complex<T> a, Complex<T> b, Complex<T> c, Complex<T> d) {
    const Complex<T> apc = a + c, amc = a - c, bpd = b + d, bmd = b - d;
    // y1 = amc - i bmd and y3 = amc + i bmd: W^(n/4) = -i in a forward transform.
    return {apc + bpd,
            {amc.re + bmd.im, amc.im - bmd.re},
            apc - bpd,
            {amc.re - bmd.im, amc.im + bmd.re}};
}

// One pass of stride s >= Lanes::kWidth over quarter = m/4 butterfly groups.
template <class Lanes, bool kTwiddled>
void radix4Pass(int quarter, int s, const float* twiddle, Split x, Split y) {
    using C = LaneComplex<Lanes>;
    const int inStep = s * quarter;
    for (int p = 0; p < quarter; ++p) {
        C w1{}, w2{}, w3{};
        if constexpr (kTwiddled) {
            w1 = {Lanes::broadcast(twiddle[p]), Lanes::broadcast(twiddle[quarter + p])};
            w2 = {Lanes::broadcast(twiddle[2 * quarter + p]),
                  Lanes::broadcast(twiddle[3 * quarter + p])};
            w3 = {Lanes::broadcast(twiddle[4 * quarter + p]),
                  Lanes::broadcast(twiddle[5 * quarter + p])};
        }
        const int in = s * p, out = 4 * s * p;
        for (int q = 0; q < s; q += Lanes::kWidth) {
            const int i0 = in + q;
            const auto r =
                butterfly(loadComplex<Lanes>(x.re + i0, x.im + i0),
                          loadComplex<Lanes>(x.re + i0 + inStep, x.im + i0 + inStep),
                          loadComplex<Lanes>(x.re + i0 + 2 * inStep, x.im + i0 + 2 * inStep),
                          loadComplex<Lanes>(x.re + i0 + 3 * inStep, x.im + i0 + 3 * inStep));
            const int o0 = out + q;
            storeComplex<Lanes>(y.re + o0, y.im + o0, r.y0);
            if constexpr (kTwiddled) {
                storeComplex<Lanes>(y.re + o0 + s, y.im + o0 + s, r.y1 * w1);
                storeComplex<Lanes>(y.re + o0 + 2 * s, y.im + o0 + 2 * s, r.y2 * w2);
                storeComplex<Lanes>(y.re + o0 + 3 * s, y.im + o0 + 3 * s, r.y3 * w3);
            } else {
                storeComplex<Lanes>(y.re + o0 + s, y.im + o0 + s, r.y1);
                storeComplex<Lanes>(y.re + o0 + 2 * s, y.im + o0 + 2 * s, r.y2);
                storeComplex<Lanes>(y.re + o0 + 3 * s, y.im + o0 + 3 * s, r.y3);
            }
        }
    }
}

// Stores y0..y3 of four consecutive butterflies p..p+3 as the sixteen
// consecutive outputs 4p .. 4p+15.
inline void storeTransposed(float* out, __m128 y0, __m128 y1, __m128 y2, __m128 y3) {
    _MM_TRANSPOSE4_PS(y0, y1, y2, y3);
    _mm_storeu_ps(out, y0);
    _mm_storeu_ps(out + 4, y1);
    _mm_storeu_ps(out + 8, y2);
    _mm_storeu_ps(out + 12, y3);
}

// The pass of stride 1, for quarter >= 4.
void firstRadix4Pass(int quarter, const float* twiddle, Split x, Split y) {
    using C = LaneComplex<SseLanes>;
    for (int p = 0; p < quarter; p += 4) {
        const C w1 = loadComplex<SseLanes>(twiddle + p, twiddle + quarter + p);
        const C w2 = loadComplex<SseLanes>(twiddle + 2 * quarter + p, twiddle + 3 * quarter + p);
        const C w3 = loadComplex<SseLanes>(twiddle + 4 * quarter + p, twiddle + 5 * quarter + p);
        const auto r =
            butterfly(loadComplex<SseLanes>(x.re + p, x.im + p),
                      loadComplex<SseLanes>(x.re + p + quarter, x.im + p + quarter),
                      loadComplex<SseLanes>(x.re + p + 2 * quarter, x.im + p + 2 * quarter),
                      loadComplex<SseLanes>(x.re + p + 3 * quarter, x.im + p + 3 * quarter));
        const C y1 = r.y1 * w1, y2 = r.y2 * w2, y3 = r.y3 * w3;
        storeTransposed(y.re + 4 * p, r.y0.re.v, y1.re.v, y2.re.v, y3.re.v);
        storeTransposed(y.im + 4 * p, r.y0.im.v, y1.im.v, y2.im.v, y3.im.v);
    }
}

// The last pass of an odd power of two: m = 2, stride s = n/2, no twiddles.
template <class Lanes>
void radix2Pass(int s, Split x, Split y) {
    for (int q = 0; q < s; q += Lanes::kWidth) {
        const auto a = loadComplex<Lanes>(x.re + q, x.im + q);
        const auto b = loadComplex<Lanes>(x.re + q + s, x.im + q + s);
        storeComplex<Lanes>(y.re + q, y.im + q, a + b);
        storeComplex<Lanes>(y.re + q + s, y.im + q + s, a - b);
    }
}

}  // namespace

int passCount(int n) {
    int count = 0;
    for (; n >= 4; n /= 4)
        ++count;
    return n == 2 ? count + 1 : count;
}

void forwardSplitFft(int n, const Split buffers[2], int first) {
    if (n >= kMinAvx2Size && cpuHasAvx2())
        forwardSplitFftAvx2(n, buffers, first);
    else
        forwardSplitFftSse2(n, buffers, first);
}

void forwardSplitFftSse2(int n, const Split buffers[2], int first) {
    const Twiddles& t = twiddles();
    int current = first;
    int m = n, s = 1;
    for (; m >= 4; m /= 4, s *= 4, current ^= 1) {
        const Split x = buffers[current], y = buffers[current ^ 1];
        const int quarter = m / 4;
        if (quarter == 1) {
            if (s >= SseLanes::kWidth)
                radix4Pass<SseLanes, false>(1, s, nullptr, x, y);
            else
                radix4Pass<ScalarLanes, false>(1, s, nullptr, x, y);
        } else if (s > 1) {
            radix4Pass<SseLanes, true>(quarter, s, t.pass(m), x, y);
        } else if (quarter >= 4) {
            firstRadix4Pass(quarter, t.pass(m), x, y);
        } else {
            radix4Pass<ScalarLanes, true>(quarter, s, t.pass(m), x, y);
        }
    }
    if (m == 2) {
        const Split x = buffers[current], y = buffers[current ^ 1];
        if (s >= SseLanes::kWidth)
            radix2Pass<SseLanes>(s, x, y);
        else
            radix2Pass<ScalarLanes>(s, x, y);
    }
}

}  // namespace fft::detail
