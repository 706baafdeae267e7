#include "instrument/analysis/Resampler.h"

#include <algorithm>
#include <cmath>

namespace analysis {
namespace {

constexpr int kZeroCrossings = 16;
constexpr int kKernelSteps = 512;  // table entries per zero crossing
constexpr double kPassBand = 0.92;
constexpr double kKaiserBeta = 8.0;
constexpr double kPi = 3.141592653589793;

double besselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
        if (term < sum * 1e-16) break;
    }
    return sum;
}

}  // namespace

Resampler::Resampler(double inputRate, double outputRate)
    : step_(inputRate / outputRate),
      crossings_(kPassBand * std::min(1.0, outputRate / inputRate)),
      reach_(kZeroCrossings / crossings_),
      gain_(static_cast<float>(crossings_)) {
    kernel_.resize(kZeroCrossings * kKernelSteps + 2);
    const double norm = besselI0(kKaiserBeta);
    for (std::size_t i = 0; i < kernel_.size(); ++i) {
        const double z = static_cast<double>(i) / kKernelSteps;
        if (z >= kZeroCrossings) {
            kernel_[i] = 0.f;
            continue;
        }
        const double r = z / kZeroCrossings;
        const double window = besselI0(kKaiserBeta * std::sqrt(1.0 - r * r)) / norm;
        const double sinc = z == 0.0 ? 1.0 : std::sin(kPi * z) / (kPi * z);
        kernel_[i] = static_cast<float>(sinc * window);
    }
}

void Resampler::render(const float* input, std::size_t frames, int stride, long long first,
                       int count, float* out) const {
    const auto last = static_cast<long long>(frames) - 1;
    const float scale = static_cast<float>(kKernelSteps) * static_cast<float>(crossings_);
    for (int i = 0; i < count; ++i) {
        const double at = static_cast<double>(first + i) * step_;
        const long long from = std::max(0LL, static_cast<long long>(std::ceil(at - reach_)));
        const long long to = std::min(last, static_cast<long long>(std::floor(at + reach_)));
        float sum = 0.f;
        // The distance to each input sample in kernel steps, walked down
        // from the first one and then up again past the centre.
        const float base = static_cast<float>(at - static_cast<double>(from)) * scale;
        for (long long n = from; n <= to; ++n) {
            const float z = std::fabs(base - static_cast<float>(n - from) * scale);
            const auto k = static_cast<std::size_t>(z);
            if (k + 1 >= kernel_.size()) continue;
            const float u = z - static_cast<float>(k);
            const float h = kernel_[k] + u * (kernel_[k + 1] - kernel_[k]);
            sum += h * input[static_cast<std::size_t>(n) * static_cast<std::size_t>(stride)];
        }
        out[i] = sum * gain_;
    }
}

}  // namespace analysis
