// The Windows build's spectrum: our own small FFT (Debian has no FFTW for the
// cross compilers).
#include "tools/lumavox-render/SmallFft.h"
#include "tools/lumavox-render/SpectrumFft.h"

namespace render {

struct SpectrumFft::Backend {
    explicit Backend(int size) : fft(size) {}
    SmallFft fft;
};

SpectrumFft::SpectrumFft(int size) : size_(size), backend_(std::make_unique<Backend>(size)) {}

SpectrumFft::~SpectrumFft() = default;

void SpectrumFft::magnitudes(const float* frame, float* magnitudes) {
    backend_->fft.magnitudes(frame, magnitudes);
}

}  // namespace render
