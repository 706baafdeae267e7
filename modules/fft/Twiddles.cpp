#include "modules/fft/Twiddles.h"

#include "modules/SharedMath.h"

namespace fft::detail {
namespace {

// Angle 2 pi k / n of the shared table.
float tableCosine(int k, int n) {
    return math::cosine(k * (math::kSineTableSize / n));
}
float tableSine(int k, int n) {
    return math::sine(k * (math::kSineTableSize / n));
}

struct BuiltTwiddles {
    Twiddles t{};

    BuiltTwiddles() {
        for (int m = 4; m <= kMaxSize; m *= 2) {
            const int quarter = m / 4;
            float* run = t.passFloats + passTwiddleOffset(m);
            for (int j = 1; j <= 3; ++j) {
                float* re = run + 2 * (j - 1) * quarter;
                float* im = re + quarter;
                for (int p = 0; p < quarter; ++p) {
                    re[p] = tableCosine(j * p, m);
                    im[p] = -tableSine(j * p, m);
                }
            }
        }
        for (int n = 4; n <= kMaxSize; n *= 2) {
            float* cosines = t.realSplitFloats + realSplitOffset(n);
            float* sines = cosines + n / 4;
            for (int k = 0; k < n / 4; ++k) {
                cosines[k] = tableCosine(k, n);
                sines[k] = tableSine(k, n);
            }
        }
    }
};

}  // namespace

const Twiddles& twiddles() {
    static const BuiltTwiddles instance;
    return instance.t;
}

}  // namespace fft::detail
