// Direct transforms: a correct first version of the real FFT pair.
#include "modules/RealFft.h"

#include <cmath>
#include <vector>

#include "modules/SharedMath.h"

namespace fft {
namespace {
bool validSize(int n) { return n >= kMinSize && n <= kMaxSize && (n & (n - 1)) == 0; }
}  // namespace

void realFft(int n, float* data) {
    if (!validSize(n)) return;
    std::vector<float> x(data, data + n);
    const int step = math::kSineTableSize / n;
    for (int k = 0; k <= n / 2; ++k) {
        double c = 0, s = 0;
        for (int t = 0; t < n; ++t) {
            const int idx = (k * t % n) * step;
            c += x[t] * math::cosine(idx);
            s += x[t] * math::sine(idx);
        }
        data[k] = static_cast<float>(c);
        if (k > 0 && k < n / 2) data[n - k] = static_cast<float>(s);
    }
}

void inverseRealFft(int n, float* data) {
    if (!validSize(n)) return;
    std::vector<float> p(data, data + n);
    const int step = math::kSineTableSize / n;
    for (int t = 0; t < n; ++t) {
        double v = p[0] / 2.0 + p[n / 2] / 2.0 * ((t & 1) ? -1 : 1);
        for (int k = 1; k < n / 2; ++k) {
            const int idx = (k * t % n) * step;
            v += p[k] * math::cosine(idx) + p[n - k] * math::sine(idx);
        }
        data[t] = static_cast<float>(v * 2.0 / n);
    }
}

void inverseRealFftPair(int n, float* left, float* right) {
    inverseRealFft(n, left);
    inverseRealFft(n, right);
}

void magnitudePass(float* data) {
    for (int k = 1; k < 512; ++k)
        data[k] = std::sqrt(data[k] * data[k] + data[1024 - k] * data[1024 - k]);
}

}  // namespace fft
