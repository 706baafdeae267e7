// Band-limited resampling of one channel by a windowed sinc (Kaiser window,
// 16 zero crossings each side), at any output positions: the analysis asks
// either for a whole stretch or only for the blocks it transforms, which
// is cheaper when the new rate is far above the old one. The pass band ends
// at 0.92 of the lower of the two Nyquist frequencies; images and aliases
// are down by about 80 dB.
#pragma once

#include <cstddef>
#include <vector>

namespace analysis {

class Resampler {
  public:
    Resampler(double inputRate, double outputRate);

    // out[i] = the signal at output sample first + i, which lies at input
    // sample (first + i) x inputRate / outputRate. The input is frames
    // samples, stride floats apart (interleaved channels); outside it the
    // signal is silent.
    void render(const float* input, std::size_t frames, int stride, long long first, int count,
                float* out) const;

    // Input samples that one output sample reads on either side.
    double reach() const { return reach_; }

  private:
    double step_;                // input samples per output sample
    double crossings_;           // zero crossings per input sample (twice the cutoff)
    double reach_;               // input samples each side
    float gain_;                 // the kernel's scale: the cutoff relative to the input's Nyquist
    std::vector<float> kernel_;  // the windowed sinc by zero-crossing distance
};

}  // namespace analysis
