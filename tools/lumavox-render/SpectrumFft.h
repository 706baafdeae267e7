// The magnitudes of a real frame's spectrum, for the spectrogram. FFTW on
// Linux; on Windows a small FFT of our own (SmallFft), since Debian has no
// FFTW for the cross compilers. The Linux tests hold the two to each other.
#pragma once

#include <memory>

namespace render {

class SpectrumFft {
  public:
    explicit SpectrumFft(int size);  // a power of two, 16 or more
    ~SpectrumFft();
    SpectrumFft(const SpectrumFft&) = delete;
    SpectrumFft& operator=(const SpectrumFft&) = delete;

    int size() const { return size_; }
    // frame: size samples; magnitudes: size / 2 + 1 values |X[k]| of the
    // unscaled transform X[k] = sum x[n] e^(-2 pi i k n / size).
    void magnitudes(const float* frame, float* magnitudes);

  private:
    struct Backend;
    int size_;
    std::unique_ptr<Backend> backend_;
};

}  // namespace render
