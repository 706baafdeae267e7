// The real FFT pair on the half-complex layout: for n points, index 0 holds
// bin 0 (DC), index k (1 <= k < n/2) the real part of bin k, index n/2 the
// Nyquist bin and index n - k the second component of bin k.
//   forward: p[k]   = sum_t x[t] cos(2 pi k t / n)          k = 0..n/2
//            p[n-k] = sum_t x[t] sin(2 pi k t / n)          k = 1..n/2-1
//   inverse: x[t] = (2/n) (p[0]/2 + p[n/2]/2 (-1)^t
//                          + sum_k p[k] cos(2 pi k t / n) + p[n-k] sin(2 pi k t / n))
// The two are exact inverses. Twiddle factors come from the shared sine
// table, so results match the formulas to within its angular step. All
// functions are reentrant and allocate nothing (safe on the audio thread).
#pragma once

namespace fft {

constexpr int kMinSize = 4;
constexpr int kMaxSize = 4096;

// n must be a power of two from kMinSize to kMaxSize; other sizes do nothing.
void realFft(int n, float* data);
void inverseRealFft(int n, float* data);
// Two inverse transforms at once (the wave-table rebuild needs a left and a
// right wave per picture column); same results as two inverseRealFft calls.
void inverseRealFftPair(int n, float* left, float* right);

// On a 1024-point half-complex array: p[k] = |bin k| for k = 1..511; index 0
// and indices 512..1023 are left as they are.
void magnitudePass(float* data);

}  // namespace fft
