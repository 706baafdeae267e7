// Lane types for the transform kernels: one float for tails and the smallest
// sizes, four SSE2 floats otherwise. A kernel written once against this
// interface serves both. SSE2 is the baseline of every x86 build (the 32-bit
// one is compiled with -msse2 -mfpmath=sse), so no runtime check is needed.
#pragma once

#include <emmintrin.h>

#include <cmath>

namespace fft::detail {

template <typename T>
struct Complex {
    T re, im;
};

template <typename T>
inline Complex<T> operator+(Complex<T> a, Complex<T> b) {
    return {a.re + b.re, a.im + b.im};
}
template <typename T>
inline Complex<T> operator-(Complex<T> a, Complex<T> b) {
    return {a.re - b.re, a.im - b.im};
}
template <typename T>
inline Complex<T> operator*(Complex<T> a, Complex<T> b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

struct Quad {
    __m128 v;
};
inline Quad operator+(Quad a, Quad b) {
    return {_mm_add_ps(a.v, b.v)};
}
inline Quad operator-(Quad a, Quad b) {
    return {_mm_sub_ps(a.v, b.v)};
}
inline Quad operator*(Quad a, Quad b) {
    return {_mm_mul_ps(a.v, b.v)};
}

struct ScalarLanes {
    using Value = float;
    static constexpr int kWidth = 1;
    static float load(const float* p) { return *p; }
    // Loads p[-kWidth + 1 .. 0] so that lane i holds p[-i]: the mirrored bins
    // n - k of a run of k.
    static float loadMirrored(const float* p) { return *p; }
    static void store(float* p, float v) { *p = v; }
    static void storeMirrored(float* p, float v) { *p = v; }
    static float broadcast(float v) { return v; }
    static float squareRoot(float v) { return std::sqrt(v); }
};

struct SseLanes {
    using Value = Quad;
    static constexpr int kWidth = 4;
    static Quad load(const float* p) { return {_mm_loadu_ps(p)}; }
    static Quad loadMirrored(const float* p) { return {reversed(_mm_loadu_ps(p - 3))}; }
    static void store(float* p, Quad v) { _mm_storeu_ps(p, v.v); }
    static void storeMirrored(float* p, Quad v) { _mm_storeu_ps(p - 3, reversed(v.v)); }
    static Quad broadcast(float v) { return {_mm_set1_ps(v)}; }
    static Quad squareRoot(Quad v) { return {_mm_sqrt_ps(v.v)}; }

  private:
    static __m128 reversed(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)); }
};

template <class Lanes>
using LaneComplex = Complex<typename Lanes::Value>;

template <class Lanes>
inline LaneComplex<Lanes> loadComplex(const float* re, const float* im) {
    return {Lanes::load(re), Lanes::load(im)};
}
template <class Lanes>
inline void storeComplex(float* re, float* im, LaneComplex<Lanes> c) {
    Lanes::store(re, c.re);
    Lanes::store(im, c.im);
}

}  // namespace fft::detail
