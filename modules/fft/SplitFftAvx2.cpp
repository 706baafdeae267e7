// The passes of SplitFft.cpp again, eight points per AVX register and with
// fused multiply-adds in the twiddle products; chosen at run time on CPUs
// that have AVX2 and FMA. Every function carries the target attribute itself
// (rather than the whole file being compiled with -mavx2), so the build needs
// no extra flags and nothing here leaks into the SSE2 code.
//
// Eight lanes change the first two passes: the stride-1 pass transposes
// eight butterflies (32 outputs) at a time, and the stride-4 pass fills a
// register with four points each of two neighbouring butterflies.
#include <immintrin.h>

#include "modules/fft/SplitFft.h"
#include "modules/fft/Twiddles.h"

#define LUMAVOX_AVX2 __attribute__((target("avx2,fma"), always_inline)) inline

namespace fft::detail {
namespace {

struct Wide {
    __m256 re, im;
};

LUMAVOX_AVX2 Wide load(const float* re, const float* im) {
    return {_mm256_loadu_ps(re), _mm256_loadu_ps(im)};
}
LUMAVOX_AVX2 void store(float* re, float* im, Wide c) {
    _mm256_storeu_ps(re, c.re);
    _mm256_storeu_ps(im, c.im);
}
LUMAVOX_AVX2 Wide broadcast(const float* re, const float* im) {
    return {_mm256_broadcast_ss(re), _mm256_broadcast_ss(im)};
}
LUMAVOX_AVX2 Wide add(Wide a, Wide b) {
    return {_mm256_add_ps(a.re, b.re), _mm256_add_ps(a.im, b.im)};
}
LUMAVOX_AVX2 Wide subtract(Wide a, Wide b) {
    return {_mm256_sub_ps(a.re, b.re), _mm256_sub_ps(a.im, b.im)};
}
LUMAVOX_AVX2 Wide multiply(Wide a, Wide w) {
    return {_mm256_fmsub_ps(a.re, w.re, _mm256_mul_ps(a.im, w.im)),
            _mm256_fmadd_ps(a.re, w.im, _mm256_mul_ps(a.im, w.re))};
}

struct WideRadix4 {
    Wide y0, y1, y2, y3;
};

LUMAVOX_AVX2 WideRadix4 butterfly(Wide a, Wide b, Wide c, Wide d) {
    const Wide apc = add(a, c), amc = subtract(a, c), bpd = add(b, d), bmd = subtract(b, d);
    return {add(apc, bpd),
            {_mm256_add_ps(amc.re, bmd.im), _mm256_sub_ps(amc.im, bmd.re)},
            subtract(apc, bpd),
            {_mm256_sub_ps(amc.re, bmd.im), _mm256_add_ps(amc.im, bmd.re)}};
}

// Butterfly whose four inputs are `step` floats apart.
LUMAVOX_AVX2 WideRadix4 butterflyAt(Split x, int i, int step) {
    return butterfly(load(x.re + i, x.im + i), load(x.re + i + step, x.im + i + step),
                     load(x.re + i + 2 * step, x.im + i + 2 * step),
                     load(x.re + i + 3 * step, x.im + i + 3 * step));
}

// Stride s >= 8.
template <bool kTwiddled>
LUMAVOX_AVX2 void widePass(int quarter, int s, const float* twiddle, Split x, Split y) {
    const int inStep = s * quarter;
    for (int p = 0; p < quarter; ++p) {
        Wide w1{}, w2{}, w3{};
        if constexpr (kTwiddled) {
            w1 = broadcast(twiddle + p, twiddle + quarter + p);
            w2 = broadcast(twiddle + 2 * quarter + p, twiddle + 3 * quarter + p);
            w3 = broadcast(twiddle + 4 * quarter + p, twiddle + 5 * quarter + p);
        }
        const int in = s * p, out = 4 * s * p;
        for (int q = 0; q < s; q += 8) {
            WideRadix4 r = butterflyAt(x, in + q, inStep);
            if constexpr (kTwiddled) {
                r.y1 = multiply(r.y1, w1);
                r.y2 = multiply(r.y2, w2);
                r.y3 = multiply(r.y3, w3);
            }
            const int o = out + q;
            store(y.re + o, y.im + o, r.y0);
            store(y.re + o + s, y.im + o + s, r.y1);
            store(y.re + o + 2 * s, y.im + o + 2 * s, r.y2);
            store(y.re + o + 3 * s, y.im + o + 3 * s, r.y3);
        }
    }
}

// Twiddles of butterflies p (low half) and p + 1 (high half).
LUMAVOX_AVX2 __m256 neighbourTwiddles(const float* w) {
    return _mm256_set_m128(_mm_broadcast_ss(w + 1), _mm_broadcast_ss(w));
}

// Stride 4, quarter >= 2: outputs j of butterflies p and p + 1 are the runs
// 16p + 4j and 16p + 16 + 4j, so pairs of half registers make whole runs.
LUMAVOX_AVX2 void strideFourPass(int quarter, const float* twiddle, Split x, Split y) {
    const int inStep = 4 * quarter;
    for (int p = 0; p < quarter; p += 2) {
        const Wide w1{neighbourTwiddles(twiddle + p), neighbourTwiddles(twiddle + quarter + p)};
        const Wide w2{neighbourTwiddles(twiddle + 2 * quarter + p),
                      neighbourTwiddles(twiddle + 3 * quarter + p)};
        const Wide w3{neighbourTwiddles(twiddle + 4 * quarter + p),
                      neighbourTwiddles(twiddle + 5 * quarter + p)};
        const WideRadix4 r = butterflyAt(x, 4 * p, inStep);
        const Wide y1 = multiply(r.y1, w1), y2 = multiply(r.y2, w2), y3 = multiply(r.y3, w3);
        float* re = y.re + 16 * p;
        float* im = y.im + 16 * p;
        _mm256_storeu_ps(re, _mm256_permute2f128_ps(r.y0.re, y1.re, 0x20));
        _mm256_storeu_ps(re + 8, _mm256_permute2f128_ps(y2.re, y3.re, 0x20));
        _mm256_storeu_ps(re + 16, _mm256_permute2f128_ps(r.y0.re, y1.re, 0x31));
        _mm256_storeu_ps(re + 24, _mm256_permute2f128_ps(y2.re, y3.re, 0x31));
        _mm256_storeu_ps(im, _mm256_permute2f128_ps(r.y0.im, y1.im, 0x20));
        _mm256_storeu_ps(im + 8, _mm256_permute2f128_ps(y2.im, y3.im, 0x20));
        _mm256_storeu_ps(im + 16, _mm256_permute2f128_ps(r.y0.im, y1.im, 0x31));
        _mm256_storeu_ps(im + 24, _mm256_permute2f128_ps(y2.im, y3.im, 0x31));
    }
}

// Stores y0..y3 of eight consecutive butterflies p..p+7 as the 32
// consecutive outputs 4p .. 4p+31.
LUMAVOX_AVX2 void storeTransposed(float* out, __m256 y0, __m256 y1, __m256 y2, __m256 y3) {
    const __m256 t0 = _mm256_unpacklo_ps(y0, y1), t1 = _mm256_unpackhi_ps(y0, y1);
    const __m256 t2 = _mm256_unpacklo_ps(y2, y3), t3 = _mm256_unpackhi_ps(y2, y3);
    // u_i holds butterflies i (low half) and i + 4 (high half).
    const __m256 u0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 u1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 u2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 u3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
    _mm256_storeu_ps(out, _mm256_permute2f128_ps(u0, u1, 0x20));
    _mm256_storeu_ps(out + 8, _mm256_permute2f128_ps(u2, u3, 0x20));
    _mm256_storeu_ps(out + 16, _mm256_permute2f128_ps(u0, u1, 0x31));
    _mm256_storeu_ps(out + 24, _mm256_permute2f128_ps(u2, u3, 0x31));
}

// Stride 1, quarter >= 8.
LUMAVOX_AVX2 void firstPass(int quarter, const float* twiddle, Split x, Split y) {
    for (int p = 0; p < quarter; p += 8) {
        const Wide w1 = load(twiddle + p, twiddle + quarter + p);
        const Wide w2 = load(twiddle + 2 * quarter + p, twiddle + 3 * quarter + p);
        const Wide w3 = load(twiddle + 4 * quarter + p, twiddle + 5 * quarter + p);
        const WideRadix4 r = butterflyAt(x, p, quarter);
        const Wide y1 = multiply(r.y1, w1), y2 = multiply(r.y2, w2), y3 = multiply(r.y3, w3);
        storeTransposed(y.re + 4 * p, r.y0.re, y1.re, y2.re, y3.re);
        storeTransposed(y.im + 4 * p, r.y0.im, y1.im, y2.im, y3.im);
    }
}

// m = 2, stride s = n/2 >= 8.
LUMAVOX_AVX2 void radix2Pass(int s, Split x, Split y) {
    for (int q = 0; q < s; q += 8) {
        const Wide a = load(x.re + q, x.im + q), b = load(x.re + q + s, x.im + q + s);
        store(y.re + q, y.im + q, add(a, b));
        store(y.re + q + s, y.im + q + s, subtract(a, b));
    }
}

}  // namespace

__attribute__((target("avx2,fma"))) void forwardSplitFftAvx2(int n, const Split buffers[2],
                                                             int first) {
    const Twiddles& t = twiddles();
    int current = first;
    int m = n, s = 1;
    for (; m >= 4; m /= 4, s *= 4, current ^= 1) {
        const Split x = buffers[current], y = buffers[current ^ 1];
        const int quarter = m / 4;
        if (quarter == 1)
            widePass<false>(1, s, nullptr, x, y);
        else if (s == 1)
            firstPass(quarter, t.pass(m), x, y);
        else if (s == 4)
            strideFourPass(quarter, t.pass(m), x, y);
        else
            widePass<true>(quarter, s, t.pass(m), x, y);
    }
    if (m == 2) radix2Pass(s, buffers[current], buffers[current ^ 1]);
}

}  // namespace fft::detail
