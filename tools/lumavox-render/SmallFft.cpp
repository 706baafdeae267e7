#include "tools/lumavox-render/SmallFft.h"

#include <cmath>

namespace render {

SmallFft::SmallFft(int size)
    : size_(size),
      twiddles_(static_cast<std::size_t>(size / 2)),
      reversed_(static_cast<std::size_t>(size)),
      work_(static_cast<std::size_t>(size)) {
    const double pi = std::acos(-1.0);
    for (int k = 0; k < size / 2; ++k)
        twiddles_[static_cast<std::size_t>(k)] = std::polar(1.0, -2.0 * pi * k / size);
    int bits = 0;
    while ((1 << bits) < size)
        ++bits;
    for (int i = 0; i < size; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        reversed_[static_cast<std::size_t>(i)] = r;
    }
}

void SmallFft::magnitudes(const float* frame, float* magnitudes) {
    for (int i = 0; i < size_; ++i)
        work_[static_cast<std::size_t>(reversed_[static_cast<std::size_t>(i)])] = frame[i];
    for (int half = 1; half < size_; half *= 2) {
        const int stride = size_ / (2 * half);
        for (int start = 0; start < size_; start += 2 * half) {
            for (int k = 0; k < half; ++k) {
                auto& a = work_[static_cast<std::size_t>(start + k)];
                auto& b = work_[static_cast<std::size_t>(start + k + half)];
                const std::complex<double> t = twiddles_[static_cast<std::size_t>(k * stride)] * b;
                b = a - t;
                a += t;
            }
        }
    }
    for (int k = 0; k <= size_ / 2; ++k)
        magnitudes[k] = static_cast<float>(std::abs(work_[static_cast<std::size_t>(k)]));
}

}  // namespace render
