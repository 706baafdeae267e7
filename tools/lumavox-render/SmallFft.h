// A small iterative radix-2 FFT in double precision: the Windows build's
// spectrum (SpectrumFft), and built everywhere so that the Linux tests can
// check it against FFTW. Speed is no concern at one frame per 256 samples.
#pragma once

#include <complex>
#include <vector>

namespace render {

class SmallFft {
  public:
    explicit SmallFft(int size);  // a power of two
    // The unscaled forward transform of a real frame: |X[k]| for k = 0 .. size / 2.
    void magnitudes(const float* frame, float* magnitudes);

  private:
    int size_;
    std::vector<std::complex<double>> twiddles_;
    std::vector<int> reversed_;
    std::vector<std::complex<double>> work_;
};

}  // namespace render
