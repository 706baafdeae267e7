// Twiddle factors of the transforms, read once from the shared sine table so
// that every angle 2 pi k / n is exactly table index k * (32768 / n).
#pragma once

#include "modules/RealFft.h"

namespace fft::detail {

// A radix-4 pass of length m (complex transform, W = exp(-2 pi i / m))
// multiplies outputs 1, 2 and 3 of butterfly p by W^p, W^2p and W^3p. They
// are stored as six runs of m/4 floats: re1, im1, re2, im2, re3, im3, so that
// the first pass can load four consecutive p at once.
constexpr int passTwiddleOffset(int m) {
    return 3 * (m - 4) / 2;
}
// cos and sin of 2 pi k / n for k < n/4, as two runs of n/4 floats: the step
// between a real transform of n points and the complex one of n/2.
constexpr int realSplitOffset(int n) {
    return (n - 4) / 2;
}

struct Twiddles {
    const float* pass(int m) const { return passFloats + passTwiddleOffset(m); }
    const float* realSplit(int n) const { return realSplitFloats + realSplitOffset(n); }

    float passFloats[passTwiddleOffset(2 * kMaxSize)];
    float realSplitFloats[realSplitOffset(2 * kMaxSize)];
};

// Built on first use (thread-safe); the audio thread only pays for that if it
// is the first to transform anything.
const Twiddles& twiddles();

}  // namespace fft::detail
