// The complex transform behind the real ones, on split (separate real and
// imaginary) arrays so that four consecutive points fill one SSE register.
#pragma once

#include "modules/CpuFeatures.h"

namespace fft::detail {

struct Split {
    float* re;
    float* im;
};

// Passes of the transform of n points; each moves the data to the other buffer.
int passCount(int n);

// Forward DFT, X_k = sum_t x_t exp(-2 pi i k t / n), n a power of two from 2
// to kMaxSize. Reads buffers[first] and leaves the result in
// buffers[(first + passCount(n)) & 1]; the other buffer is overwritten. The
// inverse transform (exp(+...), unscaled) is the same call with re and im
// swapped in both buffers. Takes the AVX2 passes when the CPU has them and
// n >= kMinAvx2Size.
void forwardSplitFft(int n, const Split buffers[2], int first);

// The two implementations behind forwardSplitFft, visible so that tests can
// hold each to the same results whatever the test machine would pick.
void forwardSplitFftSse2(int n, const Split buffers[2], int first);
constexpr int kMinAvx2Size = 64;
inline bool cpuHasAvx2() {
    return math::cpuHasAvx2();
}
void forwardSplitFftAvx2(int n, const Split buffers[2], int first);

}  // namespace fft::detail
